#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <utility>

#include "component/Error.h"

namespace zelmo {

// Fixed-capacity first-in first-out queue: a ring of Size slots numbered 1..Size. Misuse
// raises the run-time errors 5 (invalid call), 6 (overflow) and 9 (subscript out of range)
// as Error with that number.
//
// Pop of an empty queue gives std::nullopt, the "no value" that cannot be mistaken for a
// pushed value (T{} could). A popped slot gives its value up instead of keeping a copy that
// nothing can reach any more.
template <typename T>
class clsFIFOStack {
  public:
    enum : std::int32_t { kLeer = 0, kTeilweise = 1, kVoll = 2 };

    clsFIFOStack() { Size(100); }

    std::int16_t Size() const { return size_; }

    // Empties the queue and makes it hold NewValue elements. Below 1: error 5, nothing
    // changes.
    void Size(std::int16_t NewValue) {
        if (NewValue < 1)
            throw Error("Ungültiger Prozeduraufruf oder ungültiges Argument", 5);
        slots_ = std::make_unique<T[]>(static_cast<std::size_t>(NewValue));
        size_ = NewValue;
        read_ = write_ = 1;
        state_ = kLeer;
    }

    // Stores a copy at the write position. Full: error 6, nothing stored.
    void Push(const T& Data) { Store(T(Data)); }
    void Push(T&& Data) { Store(std::move(Data)); }

    // Removes and returns the oldest element; std::nullopt when empty.
    std::optional<T> Pop() {
        if (state_ == kLeer)
            return std::nullopt;
        std::optional<T> value(std::move(Slot(read_)));
        read_ = Advance(read_);
        state_ = read_ != write_ ? kTeilweise : kLeer;
        return value;
    }

    std::int16_t Count() const {
        switch (state_) {
            case kLeer:
                return 0;
            case kVoll:
                return size_;
            default:
                return static_cast<std::int16_t>(read_ < write_ ? write_ - read_
                                                                : write_ - read_ + size_);
        }
    }

    std::int32_t State() const { return state_; }

    // A copy of the Index-th element, 1 = oldest. Outside 1..Count: error 9.
    T Peek(std::int16_t Index) const {
        if (Index < 1 || Index > Count()) {
            throw Error("Index außerhalb des gültigen Bereichs", 9);
        }
        int position = read_ + Index - 1;
        if (position > size_)
            position -= size_;
        return Slot(position);
    }

  private:
    void Store(T&& data) {
        if (state_ == kVoll)
            throw Error("Überlauf", 6);
        Slot(write_) = std::move(data);
        write_ = Advance(write_);
        state_ = write_ == read_ ? kVoll : kTeilweise;
    }

    // Positions are kept in int: for Size 32767 the step past the last slot does not fit
    // the 16-bit size.
    int Advance(int position) const { return position == size_ ? 1 : position + 1; }
    T& Slot(int position) { return slots_[static_cast<std::size_t>(position - 1)]; }
    const T& Slot(int position) const { return slots_[static_cast<std::size_t>(position - 1)]; }

    std::unique_ptr<T[]> slots_;  // not std::vector: vector<bool> has no T&
    std::int16_t size_ = 0;
    int read_ = 1;
    int write_ = 1;
    std::int32_t state_ = kLeer;
};

}  // namespace zelmo
