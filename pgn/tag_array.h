// A game's tags in one block of bytes: names and values one after the other, the names most
// games use as one byte each. Separate strings cost about 650 bytes a game, several times the
// text they hold; a list of a million games keeps a million of these.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <iterator>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

struct TPGNTag {
  std::string name;
  std::string value;  // unescaped
};

// Tags as pairs of strings, as a reader builds them before they are kept.
using TagPairs = std::vector<TPGNTag>;

// One tag of a kept list, valid while the list is not changed.
struct TagView {
  std::string_view name;
  std::string_view value;
};

// Tags in normalised order: the seven tag roster first, then SetUp, FEN and ECO when present.
class TGamesTagArray {
 public:
  class const_iterator {
   public:
    using iterator_category = std::forward_iterator_tag;
    using value_type = TagView;
    using difference_type = std::ptrdiff_t;
    using pointer = const TagView*;
    using reference = TagView;
    const_iterator() = default;
    // Const, so that assigning to a member of it (which would change nothing) does not compile.
    const TagView operator*() const { return current; }
    const TagView* operator->() const { return &current; }
    const_iterator& operator++() {
      Step();
      return *this;
    }
    const_iterator operator++(int) {
      const_iterator before = *this;
      Step();
      return before;
    }
    friend bool operator==(const const_iterator& a, const const_iterator& b) { return a.left == b.left; }

   private:
    friend class TGamesTagArray;
    const_iterator(const uint8_t* at, size_t left);
    void Step();
    void Take();
    const uint8_t* next = nullptr;  // the bytes after the current tag
    size_t left = 0;                // tags from the current one on
    TagView current;
  };

  TGamesTagArray() = default;
  TGamesTagArray(const TagPairs& pairs) { Assign(pairs); }
  TGamesTagArray(std::initializer_list<TPGNTag> pairs) { Assign(TagPairs(pairs)); }
  TGamesTagArray(const TGamesTagArray& other);
  TGamesTagArray(TGamesTagArray&&) noexcept = default;
  TGamesTagArray& operator=(const TGamesTagArray& other);
  TGamesTagArray& operator=(TGamesTagArray&&) noexcept = default;

  size_t size() const { return count; }
  bool empty() const { return count == 0; }
  const_iterator begin() const { return const_iterator(block.get(), count); }
  const_iterator end() const { return const_iterator(nullptr, 0); }
  // The tag at a place (counted from the start: the roster's places cost little).
  // Const, as the iterator's: a tag is changed through SetValue or Assign.
  const TagView operator[](size_t index) const;
  const TagView front() const { return (*this)[0]; }
  const TagView back() const { return (*this)[count - 1]; }

  // The tags as pairs of strings, to change several at once and Assign again.
  TagPairs Pairs() const;
  void Assign(const TagPairs& pairs);
  // The same from views, which may be of this list's own tags.
  void Assign(const std::vector<TagView>& views) { Build(views); }
  void SetValue(size_t index, std::string_view value);
  void Insert(size_t index, std::string_view name, std::string_view value);
  void push_back(const TPGNTag& tag) { Insert(count, tag.name, tag.value); }
  void Erase(size_t index);
  void clear();

  // What it takes in memory, allocations included.
  size_t MemoryBytes() const;
  // Where its bytes are, to be fetched ahead of use.
  const void* Bytes() const { return block.get(); }

  friend bool operator==(const TGamesTagArray& a, const TGamesTagArray& b);

 private:
  void Build(const std::vector<TagView>& tags);
  std::vector<TagView> Views() const;
  std::unique_ptr<uint8_t[]> block;  // the tags, each a name (code or text) and a value
  uint32_t bytes = 0;
  uint32_t count = 0;
};
