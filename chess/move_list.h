// The array of a line's move records. A vector of records, except that its memory is the C
// heap's, grown and shrunk with realloc: records move as bytes (mov.h), so a line read into
// room to spare is cut to its exact size where it lies, without copying its records out. A
// reader of whole games writes each record once, into the memory the game keeps.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <utility>

#include "chess/mov.h"

class MoveList {
 public:
  MoveList() = default;
  MoveList(const MoveList& other) { CopyFrom(other); }
  MoveList(MoveList&& other) noexcept { swap(other); }
  MoveList& operator=(const MoveList& other) {
    if (this != &other) {
      clear();
      CopyFrom(other);
    }
    return *this;
  }
  MoveList& operator=(MoveList&& other) noexcept {
    MoveList gone(std::move(other));
    swap(gone);
    return *this;
  }
  ~MoveList() {
    clear();
    std::free(records);
  }

  size_t size() const { return count; }
  bool empty() const { return count == 0; }
  size_t capacity() const { return room; }
  mov* data() { return records; }
  const mov* data() const { return records; }
  mov* begin() { return records; }
  mov* end() { return records + count; }
  const mov* begin() const { return records; }
  const mov* end() const { return records + count; }
  mov& operator[](size_t i) { return records[i]; }
  const mov& operator[](size_t i) const { return records[i]; }
  mov& front() { return records[0]; }
  const mov& front() const { return records[0]; }
  mov& back() { return records[count - 1]; }
  const mov& back() const { return records[count - 1]; }

  template <typename... Args>
  mov& emplace_back(Args&&... args) {
    if (count == room) {
      // Made before the array moves: the arguments may be one of its records.
      mov made(std::forward<Args>(args)...);
      Grow(count + 1);
      return *new (static_cast<void*>(records + count++)) mov(std::move(made));
    }
    return *new (static_cast<void*>(records + count++)) mov(std::forward<Args>(args)...);
  }
  void push_back(const mov& m) { emplace_back(m); }
  void push_back(mov&& m) { emplace_back(std::move(m)); }
  void pop_back() { records[--count].~mov(); }
  void clear() { Truncate(0); }
  void resize(size_t n) {
    if (n <= count) {
      Truncate(n);
      return;
    }
    reserve(n);
    while (count < n) new (static_cast<void*>(records + count++)) mov();
  }
  void assign(size_t n, const mov& value) {
    const mov copy(value);  // may be one of the records that go
    clear();
    reserve(n);
    while (count < n) new (static_cast<void*>(records + count++)) mov(copy);
  }
  void reserve(size_t n) {
    if (n > room) Resize(n);
  }
  // Gives back the room beyond the records, in place where the heap allows.
  void ShrinkToFit() {
    if (room == count) return;
    if (count == 0) {
      std::free(records);
      records = nullptr;
      room = 0;
      return;
    }
    Resize(count);
  }
  void swap(MoveList& other) noexcept {
    std::swap(records, other.records);
    std::swap(count, other.count);
    std::swap(room, other.room);
  }

 private:
  void Grow(size_t needed) {
    size_t wanted = room ? room * 2 : 8;
    if (wanted < needed) wanted = needed;
    Resize(wanted);
  }
  // The records move with their bytes: nothing of a record points into itself.
  void Resize(size_t n) {
    if (n > SIZE_MAX / sizeof(mov)) throw std::bad_alloc();
    void* moved = std::realloc(static_cast<void*>(records), n * sizeof(mov));
    if (!moved) throw std::bad_alloc();
    records = static_cast<mov*>(moved);
    room = n;
  }
  void Truncate(size_t n) {
    while (count > n) records[--count].~mov();
  }
  void CopyFrom(const MoveList& other) {
    reserve(other.count);
    for (const mov& m : other) new (static_cast<void*>(records + count++)) mov(m);
  }

  mov* records = nullptr;
  size_t count = 0;
  size_t room = 0;
};
