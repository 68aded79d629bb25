// Renaming a player, tournament or site across the games of a list: the names offered, the
// renaming itself and the message that reports it.
#pragma once

#include <string>
#include <vector>

#include "pgn/pgn_types.h"

// Which tags a rename changes: Event, Site, or White and Black.
enum class RenameKind { Tournament = 0, Site = 1, Player = 4 };

// The distinct values of the kind's tags in ascending byte order ("Names from"); with
// `withoutEmpty`, the empty value left out ("Names to").
std::vector<std::string> RenameCandidates(const TGames& games, RenameKind kind, bool withoutEmpty = false);

// Gives every tag of the kind holding exactly `oldName` the value `newName`; returns how many
// changed, or -1 (nothing done) for an empty new name.
int RenameNames(TGames& games, RenameKind kind, const std::string& oldName, const std::string& newName);

// "Renaming is finished. 3 names is changed." or "Renaming is finished. No matches are found."
std::string RenameMessage(int count);
