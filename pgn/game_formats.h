// A game written in the output form's format: PGN, a JSON object, a line of moves, or a line
// a position. Every format reads the same selection of tags and keeps or drops comments,
// NAGs and variations as the processing options say.
#pragma once

#include <cstdint>

#include "options/output_form.h"
#include "options/processing_options.h"
#include "pgn/opening_names.h"
#include "pgn/pgn_types.h"
#include "pgn/pgn_writer.h"

// Appends the game `number` (its place in the list, from 1) in the form's format. `game` holds
// the entry's moves (the entry's own record, or one unpacked for the writing); an entry
// without one gets its tags alone where the format has tags, nothing otherwise. Only reads
// the entry and the record: several threads may write games at once.
// With `openings`, PGN and JSON get the Opening and Variation tags it names. With
// form.splitVariations, the games its variations make (VariationGames) follow the game, each
// with the game's tags and number, and the result "*" (the game's result is not theirs).
void WriteGameAs(const TGame& entry, const jurnal* game, int64_t number, OutputBuffer& buffer,
                 const TProcessingOptions& options, const OutputForm& form, const OpeningNames* openings = nullptr);

// WriteGameAs for an entry held packed, written from its packed bytes where the format allows
// (PGN without games made of its variations, its opening name found while it was read): the same
// text, without a record made. False, with nothing written, where it does not: the caller
// unpacks the game and writes that.
bool WritePackedGameAs(const TGame& entry, OutputBuffer& buffer, const TProcessingOptions& options,
                       const OutputForm& form, const OpeningNames* openings = nullptr);

// The main line's moves as one line: SAN, UCI or long algebraic. A game set up from a FEN
// begins with "fen FEN moves" (as UCI's position command reads it).
void WriteMoveLine(const jurnal& game, OutputBuffer& buffer, OutputFormat format);

// The main line's positions from ply `form.positionsFrom` to `form.positionsTo`, a line each
// (but one after a pass made in check, which no game can reach):
// FEN, a tab, the game's number, a tab, the ply; or an EPD record with the opcodes hmvc, fmvn,
// id "NUMBER:PLY", c0 (the game's result) and c1 (its source: file and byte position).
// `tags` give the result; the entry, the source.
void WritePositions(const TGame& entry, const TGamesTagArray& tags, const jurnal& game, int64_t number,
                    OutputBuffer& buffer, const OutputForm& form);
