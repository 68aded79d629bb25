// The reader's status codes: 0 success, 1..100 the game is skipped, 101..200 the text is damaged
// beyond one game and is skipped up to the next line that surely begins a game, 201 and above a
// note on a game that was kept.
#pragma once

enum ReadCode : int {
  ReadOk = 0,
  NoTags = 1,  // no tag could be read (also: the opponent has no king)
  BadMoveNumber = 2,
  BadTagValue = 3,  // a tag value holds a control character
  DuplicateTag = 4,
  ResultContradicts = 5,
  MoveAfterEnd = 6,  // a move after stalemate or a claimed mate
  NoLegalMove = 7,
  AmbiguousMove = 8,
  WrongCaptureMark = 9,  // also: no piece given
  MissingPromotion = 10,
  BadFen = 21,  // the FEN tag is not a position that can be set up (reported only)
  BadSetUp = 19,
  SetUpWithoutFen = 20,
  UnclosedComment = 22,  // a comment opened with { runs into the next game
  // Not reported: no position the search looks for can be reached any more, and the games it
  // leaves out are not wanted; the rest of the game is passed over.
  PositionsOutOfReach = 30,
  FirstDamageCode = 101,
  TagNameMissing = 101,
  TagQuoteMissing = 102,
  TagValueUnterminated = 103,
  TagBracketMissing = 104,
  TextEndsInTags = 105,
  TextEndsAfterNumber = 106,
  MalformedMove = 107,
  MalformedCastling = 108,
  NagTooLarge = 109,
  UnexpectedByte = 110,
  EndsInVariation = 111,
  NotATagSection = 112,
  BadTagLine = 113,
  Utf16Text = 114,     // the whole text is UTF-16, which the reader does not take
  GameTooLong = 115,   // a game (a comment in it, say) longer than the reader holds at once
  TextCutShort = 116,  // the text ends in this game because its file is damaged or cut short
  // Codes from here on are notes on games that were kept.
  FirstNoteCode = 201,
  ResultTagCorrected = 201,  // the Result tag contradicted the mate or stalemate the moves end in
  TagLineDropped = 202,      // a tag line that could not be read was left out of the game
};

// Whether a code is a note on a game that was kept rather than a reason to skip it.
inline bool IsNoteCode(int code) { return code >= FirstNoteCode; }

// The meaning of a code in a few words, for reports.
const char* DescribeReadCode(int code);
