// Small holders for the parts of a move record that are usually empty: a comment and the list
// of variations. Each is one pointer when empty, so a game of many moves stays small in memory.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

// A text that is usually empty, with value semantics: one pointer, to a single allocation
// that holds the length and the bytes.
class CompactText {
 public:
  CompactText() = default;
  CompactText(std::string_view text) { assign(text); }
  CompactText(const char* text) { assign(text); }
  CompactText(const CompactText& other) { assign(other.view()); }
  CompactText(CompactText&&) noexcept = default;
  CompactText& operator=(const CompactText& other) {
    if (this != &other) assign(other.view());
    return *this;
  }
  CompactText& operator=(CompactText&&) noexcept = default;
  CompactText& operator=(std::string_view text) {
    assign(text);
    return *this;
  }
  CompactText& operator=(const char* text) { return *this = std::string_view(text); }

  void assign(std::string_view text) {
    if (text.empty()) {
      held.reset();
      return;
    }
    const uint32_t length = uint32_t(text.size());
    held = std::make_unique_for_overwrite<char[]>(sizeof length + text.size());
    std::memcpy(held.get(), &length, sizeof length);
    std::memcpy(held.get() + sizeof length, text.data(), text.size());
  }
  void clear() { held.reset(); }
  bool empty() const { return !held; }
  size_t size() const { return view().size(); }
  std::string_view view() const {
    if (!held) return {};
    uint32_t length;
    std::memcpy(&length, held.get(), sizeof length);
    return std::string_view(held.get() + sizeof length, length);
  }
  operator std::string_view() const { return view(); }
  std::string str() const { return std::string(view()); }
  char front() const { return view().front(); }
  char back() const { return view().back(); }

  friend bool operator==(const CompactText& a, std::string_view b) { return a.view() == b; }
  friend bool operator==(const CompactText& a, const char* b) { return a.view() == std::string_view(b); }
  friend bool operator==(const CompactText& a, const std::string& b) { return a.view() == b; }
  friend bool operator==(const CompactText& a, const CompactText& b) { return a.view() == b.view(); }
  friend std::ostream& operator<<(std::ostream& out, const CompactText& text) { return out << text.view(); }

 private:
  std::unique_ptr<char[]> held;
};

// A move's SAN text: held in place up to ten bytes (every text the library writes, such as
// "exd8=Q+!?", fits), in one allocation beyond that (a host's own texts may be longer). Twelve
// bytes where a std::string takes 24 or 32. A text in place may carry a mark of four bits beside
// its size (what it was written from; 0 when not known), which only AssignMarked sets and every
// other assignment clears.
class SanString {
 public:
  static constexpr size_t InPlaceLength = 10;  // the longest text held in place
  SanString() = default;
  SanString(std::string_view text) { assign(text); }
  SanString(const char* text) { assign(text); }
  SanString(const SanString& other) { CopyFrom(other); }
  SanString(SanString&& other) noexcept {
    std::memcpy(bytes, other.bytes, sizeof bytes);
    other.bytes[0] = 0;
    other.bytes[SizeByte] = 0;  // the heap block, if any, now belongs here
  }
  SanString& operator=(const SanString& other) {
    if (this != &other) CopyFrom(other);
    return *this;
  }
  SanString& operator=(SanString&& other) noexcept {
    if (this != &other) {
      Release();
      std::memcpy(bytes, other.bytes, sizeof bytes);
      other.bytes[0] = 0;
      other.bytes[SizeByte] = 0;
    }
    return *this;
  }
  SanString& operator=(std::string_view text) {
    assign(text);
    return *this;
  }
  SanString& operator=(const char* text) { return *this = std::string_view(text); }
  SanString& operator=(const std::string& text) { return *this = std::string_view(text); }
  ~SanString() { Release(); }

  void assign(std::string_view text) { assign(text.data(), text.size()); }
  void assign(const char* text, size_t length) {
    if (Overlaps(text)) {
      const std::string copy(text, length);  // the text is this string's own
      assign(copy.data(), copy.size());
      return;
    }
    Release();
    if (length <= InPlace) {
      std::memcpy(bytes, text, length);
      bytes[length] = 0;
      bytes[SizeByte] = char(length);
      return;
    }
    // Out of place: the length, the bytes and a terminating zero.
    const uint32_t size = uint32_t(length);
    char* block = new char[sizeof size + length + 1];
    std::memcpy(block, &size, sizeof size);
    std::memcpy(block + sizeof size, text, length);
    block[sizeof size + length] = 0;
    std::memcpy(bytes, &block, sizeof block);
    bytes[SizeByte] = char(OutOfPlace);
  }
  // assign, for a text in a buffer of at least InPlace + 1 readable bytes that is not this
  // string's own (a text being built): a short one is copied in one step of fixed size.
  void AssignFromBuffer(const char* buffer, size_t length) {
    if (length > InPlace) {
      assign(buffer, length);
      return;
    }
    Release();
    std::memcpy(bytes, buffer, InPlace + 1);
    bytes[length] = 0;
    bytes[SizeByte] = char(length);
  }
  // AssignFromBuffer with a mark (1..15) kept beside a text held in place; a longer text keeps none.
  void AssignMarked(const char* buffer, size_t length, uint8_t mark) {
    AssignFromBuffer(buffer, length);
    if (length <= InPlace) bytes[SizeByte] = char(length | size_t(mark & 15) << 4);
  }
  // A text of at most InPlaceLength bytes given as words of its bytes, the first in the lowest
  // byte (zeros past its end): its first eight and the next two. Stored in two stores, with a
  // mark (1..15).
  void AssignWords(uint64_t first, uint16_t rest, size_t length, uint8_t mark) {
    static_assert(std::endian::native == std::endian::little);
    Release();
    std::memcpy(bytes, &first, sizeof first);
    const uint32_t last = uint32_t(rest) | uint32_t(length | size_t(mark & 15) << 4) << 24;
    std::memcpy(bytes + sizeof first, &last, sizeof last);  // the text's end, a zero, the size
  }
  // No text, only a mark (1..15): what a text would be written again from.
  void AssignMarkOnly(uint8_t mark) {
    Release();
    bytes[SizeByte] = char(size_t(mark & 15) << 4);
  }
  uint8_t Mark() const { return uint8_t(bytes[SizeByte]) == OutOfPlace ? 0 : uint8_t(bytes[SizeByte]) >> 4; }
  std::string_view view() const {
    if (uint8_t(bytes[SizeByte]) != OutOfPlace) return std::string_view(bytes, uint8_t(bytes[SizeByte]) & 15);
    const char* block = Block();
    uint32_t size;
    std::memcpy(&size, block, sizeof size);
    return std::string_view(block + sizeof size, size);
  }
  const char* c_str() const { return uint8_t(bytes[SizeByte]) == OutOfPlace ? Block() + sizeof(uint32_t) : bytes; }
  size_t size() const { return view().size(); }
  bool empty() const { return (bytes[SizeByte] & 15) == 0; }
  operator std::string_view() const { return view(); }
  std::string str() const { return std::string(view()); }

  friend bool operator==(const SanString& a, std::string_view b) { return a.view() == b; }
  friend bool operator==(const SanString& a, const char* b) { return a.view() == std::string_view(b); }
  friend bool operator==(const SanString& a, const std::string& b) { return a.view() == b; }
  friend bool operator==(const SanString& a, const SanString& b) { return a.view() == b.view(); }
  friend std::string operator+(std::string a, const SanString& b) { return a.append(b.view()); }
  friend std::string operator+(const char* a, const SanString& b) { return std::string(a).append(b.view()); }
  friend std::ostream& operator<<(std::ostream& out, const SanString& text) { return out << text.view(); }

 private:
  static constexpr size_t InPlace = InPlaceLength;  // bytes of text held in place, with a zero after them
  static constexpr size_t SizeByte = 11;
  static constexpr uint8_t OutOfPlace = 0xFF;

  void CopyFrom(const SanString& other) {
    if (uint8_t(other.bytes[SizeByte]) == OutOfPlace) {
      assign(other.view());
    } else {
      Release();
      std::memcpy(bytes, other.bytes, sizeof bytes);
    }
  }
  bool Overlaps(const char* text) const {
    const char* start = uint8_t(bytes[SizeByte]) == OutOfPlace ? Block() : bytes;
    const size_t extent = uint8_t(bytes[SizeByte]) == OutOfPlace ? sizeof(uint32_t) + view().size() : sizeof bytes;
    return std::less_equal<const char*>()(start, text) && std::less<const char*>()(text, start + extent);
  }
  const char* Block() const {
    const char* block;
    std::memcpy(&block, bytes, sizeof block);
    return block;
  }
  void Release() {
    if (uint8_t(bytes[SizeByte]) == OutOfPlace) delete[] Block();
    bytes[0] = 0;
    bytes[SizeByte] = 0;
  }

  char bytes[12] = {};  // the text and a zero, or a pointer to the block; the last byte: the size
};
static_assert(sizeof(SanString) == 12);

// A list that is usually empty. Copies copy the elements (here: pointers, not what they own).
template <typename T>
class CompactList {
 public:
  CompactList() = default;
  CompactList(const CompactList& other) {
    if (other.held && !other.held->empty()) held = std::make_unique<std::vector<T>>(*other.held);
  }
  CompactList(CompactList&&) noexcept = default;
  CompactList& operator=(const CompactList& other) {
    if (this != &other) held = other.empty() ? nullptr : std::make_unique<std::vector<T>>(*other.held);
    return *this;
  }
  CompactList& operator=(CompactList&&) noexcept = default;

  void push_back(const T& value) { List().push_back(value); }
  size_t size() const { return held ? held->size() : 0; }
  bool empty() const { return !held || held->empty(); }
  void clear() { held.reset(); }
  T& operator[](size_t i) { return (*held)[i]; }
  const T& operator[](size_t i) const { return (*held)[i]; }
  T& back() { return held->back(); }
  const T& back() const { return held->back(); }
  const T* begin() const { return held ? held->data() : nullptr; }
  const T* end() const { return held ? held->data() + held->size() : nullptr; }
  T* begin() { return held ? held->data() : nullptr; }
  T* end() { return held ? held->data() + held->size() : nullptr; }

 private:
  std::vector<T>& List() {
    if (!held) held = std::make_unique<std::vector<T>>();
    return *held;
  }
  std::unique_ptr<std::vector<T>> held;
};
