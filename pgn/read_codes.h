// The reader's status codes: 0 success, 1..100 the game is skipped, above 100 the text is damaged
// beyond one game and is skipped up to the next line that surely begins a game.
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
};

// The meaning of a code in a few words, for reports.
const char* DescribeReadCode(int code);
