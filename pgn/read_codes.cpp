#include "pgn/read_codes.h"

const char* DescribeReadCode(int code) {
  switch (code) {
    case ReadOk:
      return "read";
    case NoTags:
      return "no tag could be read, or a side has no king";
    case BadMoveNumber:
      return "move number does not fit";
    case BadTagValue:
      return "tag value holds a control character";
    case DuplicateTag:
      return "duplicate tag name";
    case ResultContradicts:
      return "result contradicts the final position";
    case MoveAfterEnd:
      return "move after stalemate or claimed mate";
    case NoLegalMove:
      return "no legal move fits";
    case AmbiguousMove:
      return "ambiguous move";
    case WrongCaptureMark:
      return "capture mark wrong, or no piece";
    case MissingPromotion:
      return "promotion piece missing";
    case BadFen:
      return "FEN position cannot be read";
    case BadSetUp:
      return "SetUp value not \"0\" or \"1\"";
    case SetUpWithoutFen:
      return "SetUp \"1\" without FEN, or FEN without SetUp \"1\"";
    case PositionsOutOfReach:
      return "no position looked for can be reached";
    case UnclosedComment:
      return "comment opened with { runs into the next game";
    case Utf16Text:
      return "the file is UTF-16 text: convert it first (iconv -f UTF-16 -t UTF-8 in.pgn > out.pgn)";
    case GameTooLong:
      return "game longer than 64 MiB, more than is held at once";
    case TextCutShort:
      return "the file is damaged or cut short inside this game";
    case ResultTagCorrected:
      return "Result tag contradicted the final position and was corrected";
    case TagLineDropped:
      return "tag line that could not be read was left out";
    case TagNameMissing:
      return "tag name missing";
    case TagQuoteMissing:
      return "tag value not quoted";
    case TagValueUnterminated:
      return "tag value not terminated";
    case TagBracketMissing:
      return "tag pair not closed with ]";
    case TextEndsInTags:
      return "text ends inside the tag section";
    case TextEndsAfterNumber:
      return "text ends after a move number";
    case MalformedMove:
      return "malformed move";
    case MalformedCastling:
      return "malformed castling";
    case NagTooLarge:
      return "NAG above 255";
    case UnexpectedByte:
      return "unexpected byte, unbalanced or empty variation";
    case EndsInVariation:
      return "game ends inside a variation";
    case NotATagSection:
      return "text that is not a tag section where a game should start";
    case BadTagLine:
      return "bad tag line, or ( right after (";
    default:
      return "unknown code";
  }
}
