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

// Random pushes and pops against a deque of the same capacity (100 unless resized; resizing
// empties, a size below 1 changes nothing): count, state and Peek after each step.
TEST(clsFIFOStack, BehavesAsABoundedQueue) {
    std::mt19937 random(3);
    for (const int size : {1, 3, 4, 100}) {
        SCOPED_TRACE(size);
        clsFIFOStack<int> q;
        q.Push(-1);
        EXPECT_EQ(ErrorOf([&] { q.Size(0); }), 5);
        std::deque<int> model = {-1};
        if (size != 100) {
            q.Size(static_cast<std::int16_t>(size));
            model.clear();
        }
        for (int k = 0; k < 400; ++k) {
            const int count = static_cast<int>(model.size());
            if (random() % 3 != 0) {
                EXPECT_EQ(ErrorOf([&] { q.Push(k); }), count == size ? 6 : 0);
                if (count < size)
                    model.push_back(k);
            } else {
                EXPECT_EQ(q.Pop(), count == 0 ? std::nullopt : std::optional(model.front()));
                if (count > 0)
                    model.pop_front();
            }
            ASSERT_EQ(q.Count(), static_cast<int>(model.size()));
            EXPECT_EQ(q.State(), model.empty() ? 0 : q.Count() == size ? 2 : 1);
            for (int i = 1; i <= q.Count(); ++i)
                EXPECT_EQ(q.Peek(static_cast<std::int16_t>(i)), model[i - 1]);
            for (const int outside : {0, q.Count() + 1})
                EXPECT_EQ(ErrorOf([&] { q.Peek(static_cast<std::int16_t>(outside)); }), 9);
        }
    }
}

}  // namespace
}  // namespace zelmo
