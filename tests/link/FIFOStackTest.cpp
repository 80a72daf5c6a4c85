#include "link/clsFIFOStack.h"

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <random>

namespace zelmo {
namespace {

// The run-time error number a call raises, 0 for none.
int ErrorOf(const std::function<void()>& call) {
    try {
        call();
    } catch (const Error& e) {
        return e.number();
    }
    return 0;
}

// Random pushes and pops against a deque of the same capacity, so that the ring's positions
// wrap in every order: count, state and every index of Peek after each step.
TEST(clsFIFOStack, BehavesAsABoundedQueue) {
    std::mt19937 random(3);
    for (const int size : {1, 3, 4}) {
        SCOPED_TRACE(size);
        clsFIFOStack<int> q;
        q.Size(static_cast<std::int16_t>(size));
        std::deque<int> model;
        for (int k = 0; k < 300; ++k) {
            const int count = static_cast<int>(model.size());
            if (random() % 2 == 0) {
                EXPECT_EQ(ErrorOf([&] { q.Push(k); }), count == size ? 6 : 0);
                if (count < size)
                    model.push_back(k);
            } else {
                EXPECT_EQ(q.Pop(), count == 0 ? std::nullopt : std::optional(model.front()));
                if (count > 0)
                    model.pop_front();
            }
            EXPECT_EQ(q.Count(), static_cast<int>(model.size()));
            EXPECT_EQ(q.State(), model.empty() ? 0 : q.Count() == size ? 2 : 1);
            for (int i = -1; i <= size + 1; ++i) {
                const bool inside = i >= 1 && i <= q.Count();
                int got = -1;
                EXPECT_EQ(ErrorOf([&] { got = q.Peek(static_cast<std::int16_t>(i)); }),
                          inside ? 0 : 9);
                EXPECT_EQ(got, inside ? model[static_cast<std::size_t>(i - 1)] : -1);
            }
        }
    }
}

// A new queue holds 100; a size below 1 is error 5 and changes nothing; resizing empties.
// The largest size wraps past its last slot, which does not fit the 16-bit size (bool: no
// plain reference in std::vector).
TEST(clsFIFOStack, Sizes) {
    clsFIFOStack<int> q;
    for (int k = 0; k < 100; ++k)
        q.Push(k);
    EXPECT_EQ(ErrorOf([&] { q.Push(100); }), 6);
    EXPECT_EQ(ErrorOf([&] { q.Size(0); }), 5);
    EXPECT_EQ(ErrorOf([&] { q.Size(-1); }), 5);
    EXPECT_EQ(q.Peek(100), 99);
    q.Size(2);
    EXPECT_EQ(q.Pop(), std::nullopt);

    clsFIFOStack<bool> large;
    large.Size(32767);
    for (int k = 0; k < 32767; ++k)
        large.Push(true);
    EXPECT_EQ(large.Pop(), std::optional<bool>(true));
    large.Push(false);
    EXPECT_EQ(large.Peek(32767), false);
    EXPECT_EQ(large.Count(), 32767);
}

}  // namespace
}  // namespace zelmo
