#include "pgn/tag_array.h"

#include <algorithm>
#include <cstring>

namespace {

// Names kept as one byte, their place here plus one; 0 starts a name kept as text.
constexpr std::string_view CommonNames[] = {
    "Event",
    "Site",
    "Date",
    "Round",
    "White",
    "Black",
    "Result",
    "SetUp",
    "FEN",
    "ECO",
    "WhiteElo",
    "BlackElo",
    "EventDate",
    "PlyCount",
    "Annotator",
    "TimeControl",
    "WhiteTitle",
    "BlackTitle",
    "WhiteFideId",
    "BlackFideId",
    "Opening",
    "Variation",
    "SubVariation",
    "Termination",
    "Mode",
    "Time",
    "UTCDate",
    "UTCTime",
    "WhiteTeam",
    "BlackTeam",
    "Board",
    "Source",
    "SourceDate",
    "EventType",
    "EventRounds",
    "EventCountry",
    "WhiteRatingDiff",
    "BlackRatingDiff",
    "Variant",
    "Stage",
    "Section",
    "WhiteClock",
    "BlackClock",
    "GameId",
    "WhiteNA",
    "BlackNA",
    "WhiteType",
    "BlackType",
};
constexpr size_t CommonCount = std::size(CommonNames);
static_assert(CommonCount < 255);

// The common names by a hash of their length and end bytes, in open addressing: every game's
// tag names are looked up here.
constexpr size_t NameSlots = 256;
constexpr size_t NameSlot(std::string_view name) {
  return (name.size() * 31 + size_t(static_cast<unsigned char>(name.front())) * 7 +
          size_t(static_cast<unsigned char>(name.back()))) %
         NameSlots;
}
struct NameTable {
  uint8_t code[NameSlots] = {};  // 0: free
};
constexpr NameTable BuildNameTable() {
  NameTable t;
  for (size_t i = 0; i < CommonCount; ++i) {
    size_t slot = NameSlot(CommonNames[i]);
    while (t.code[slot]) slot = (slot + 1) % NameSlots;
    t.code[slot] = uint8_t(i + 1);
  }
  return t;
}
constexpr NameTable CommonNameTable = BuildNameTable();

uint8_t CodeOf(std::string_view name) {
  if (name.empty()) return 0;
  for (size_t slot = NameSlot(name);; slot = (slot + 1) % NameSlots) {
    const uint8_t code = CommonNameTable.code[slot];
    if (!code) return 0;
    if (CommonNames[code - 1] == name) return code;
  }
}

size_t NumberSize(size_t value) {
  size_t size = 1;
  while (value >= 0x80) {
    value >>= 7;
    ++size;
  }
  return size;
}

uint8_t* PutNumber(uint8_t* at, size_t value) {
  while (value >= 0x80) {
    *at++ = uint8_t(value | 0x80);
    value >>= 7;
  }
  *at++ = uint8_t(value);
  return at;
}

const uint8_t* TakeNumber(const uint8_t* at, size_t& value) {
  value = 0;
  for (int shift = 0;; shift += 7) {
    const uint8_t byte = *at++;
    value |= size_t(byte & 0x7F) << shift;
    if (!(byte & 0x80)) return at;
  }
}

const uint8_t* TakeText(const uint8_t* at, std::string_view& text) {
  size_t size;
  at = TakeNumber(at, size);
  text = std::string_view(reinterpret_cast<const char*>(at), size);
  return at + size;
}

}  // namespace

TGamesTagArray::const_iterator::const_iterator(const uint8_t* at, size_t left_) : next(at), left(left_) {
  if (left > 0) Take();
}

void TGamesTagArray::const_iterator::Take() {
  const uint8_t code = *next++;
  if (code == 0)
    next = TakeText(next, current.name);
  else
    current.name = CommonNames[code - 1];
  next = TakeText(next, current.value);
}

void TGamesTagArray::const_iterator::Step() {
  if (--left > 0) Take();
}

TGamesTagArray::TGamesTagArray(const TGamesTagArray& other) : bytes(other.bytes), count(other.count) {
  if (other.block) {
    block = std::make_unique_for_overwrite<uint8_t[]>(bytes);
    std::memcpy(block.get(), other.block.get(), bytes);
  }
}

TGamesTagArray& TGamesTagArray::operator=(const TGamesTagArray& other) {
  if (this != &other) *this = TGamesTagArray(other);
  return *this;
}

const TagView TGamesTagArray::operator[](size_t index) const {
  const_iterator at = begin();
  for (size_t i = 0; i < index; ++i) ++at;
  return *at;
}

void TGamesTagArray::Build(const std::vector<TagView>& tags) {
  // Each name's code, looked up once (most sections hold few tags).
  uint8_t few[32];
  std::vector<uint8_t> many;
  uint8_t* codes = few;
  if (tags.size() > std::size(few)) {
    many.resize(tags.size());
    codes = many.data();
  }
  size_t size = 0;
  for (size_t i = 0; i < tags.size(); ++i) {
    const TagView& tag = tags[i];
    const uint8_t code = codes[i] = CodeOf(tag.name);
    size += 1 + (code ? 0 : NumberSize(tag.name.size()) + tag.name.size());
    size += NumberSize(tag.value.size()) + tag.value.size();
  }
  std::unique_ptr<uint8_t[]> built;
  if (size > 0) {
    built = std::make_unique_for_overwrite<uint8_t[]>(size);
    uint8_t* at = built.get();
    for (size_t i = 0; i < tags.size(); ++i) {
      const TagView& tag = tags[i];
      const uint8_t code = codes[i];
      *at++ = code;
      // A view may be empty without any text behind it (a pair cut short): nothing to copy then.
      if (!code) {
        at = PutNumber(at, tag.name.size());
        if (!tag.name.empty()) std::memcpy(at, tag.name.data(), tag.name.size());
        at += tag.name.size();
      }
      at = PutNumber(at, tag.value.size());
      if (!tag.value.empty()) std::memcpy(at, tag.value.data(), tag.value.size());
      at += tag.value.size();
    }
  }
  // The views may point into the old block: it goes only now.
  block = std::move(built);
  bytes = uint32_t(size);
  count = uint32_t(tags.size());
}

std::vector<TagView> TGamesTagArray::Views() const { return std::vector<TagView>(begin(), end()); }

TagPairs TGamesTagArray::Pairs() const {
  TagPairs pairs;
  pairs.reserve(count);
  for (const TagView tag : *this) pairs.push_back(TPGNTag{std::string(tag.name), std::string(tag.value)});
  return pairs;
}

void TGamesTagArray::Assign(const TagPairs& pairs) {
  std::vector<TagView> views;
  views.reserve(pairs.size());
  for (const TPGNTag& tag : pairs) views.push_back(TagView{tag.name, tag.value});
  Build(views);
}

void TGamesTagArray::SetValue(size_t index, std::string_view value) {
  const std::string copy(value);  // it may be one of this list's own
  std::vector<TagView> views = Views();
  views[index].value = copy;
  Build(views);
}

void TGamesTagArray::Insert(size_t index, std::string_view name, std::string_view value) {
  const std::string nameCopy(name), valueCopy(value);
  std::vector<TagView> views = Views();
  views.insert(views.begin() + std::ptrdiff_t(std::min(index, views.size())), TagView{nameCopy, valueCopy});
  Build(views);
}

void TGamesTagArray::Erase(size_t index) {
  std::vector<TagView> views = Views();
  views.erase(views.begin() + std::ptrdiff_t(index));
  Build(views);
}

void TGamesTagArray::clear() {
  block.reset();
  bytes = count = 0;
}

size_t TGamesTagArray::MemoryBytes() const {
  constexpr size_t AllocationOverhead = 16;
  return sizeof(TGamesTagArray) + (block ? bytes + AllocationOverhead : 0);
}

bool operator==(const TGamesTagArray& a, const TGamesTagArray& b) {
  return a.count == b.count && std::equal(a.begin(), a.end(), b.begin(), b.end(),
                                          [](TagView x, TagView y) { return x.name == y.name && x.value == y.value; });
}
