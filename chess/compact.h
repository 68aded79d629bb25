// Small holders for the parts of a move record that are usually empty: a comment and the list
// of variations. Each is one pointer when empty, so a game of many moves stays small in memory.
#pragma once

#include <cstdint>
#include <cstring>
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
