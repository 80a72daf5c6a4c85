#include "link/clsFIFOStack.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zelmo {
namespace {

// One step of a script run against a queue of int.
struct Step {
    enum class Op { Size, Push, Pop, Peek, Expect } op;
    int arg = 0;    // Size/Push value, Peek index, Expect count
    int want = 0;   // Pop/Peek result (Pop: kNone for no value), Expect state
    int error = 0;  // run-time error number expected, 0 for none
};
constexpr int kNone = -1;

const auto Size = [](int n, int error = 0) { return Step{Step::Op::Size, n, 0, error}; };
const auto Push = [](int v, int error = 0) { return Step{Step::Op::Push, v, 0, error}; };
const auto Pop = [](int want) { return Step{Step::Op::Pop, 0, want, 0}; };
const auto Peek = [](int i, int want, int error = 0) {
    return Step{Step::Op::Peek, i, want, error};
};
const auto Expect = [](int count, int state) { return Step{Step::Op::Expect, count, state, 0}; };

void Apply(clsFIFOStack<int>& q, const Step& s) {
    int error = 0;
    try {
        switch (s.op) {
            case Step::Op::Size:
                q.Size(static_cast<std::int16_t>(s.arg));
                break;
            case Step::Op::Push:
                q.Push(s.arg);
                break;
            case Step::Op::Pop:
                EXPECT_EQ(q.Pop().value_or(kNone), s.want);
                break;
            case Step::Op::Peek:
                EXPECT_EQ(q.Peek(static_cast<std::int16_t>(s.arg)), s.want);
                break;
            case Step::Op::Expect:
                EXPECT_EQ(q.Count(), s.arg);
                EXPECT_EQ(q.State(), s.want);
                break;
        }
    } catch (const Error& e) {
        error = e.number();
    }
    EXPECT_EQ(error, s.error);
}

TEST(clsFIFOStack, Scripts) {
    struct Row {
        const char* name;
        std::vector<Step> steps;
    };
    const Row rows[] = {
        {"three pushes fill a queue of three; a fourth overflows and stores nothing",
         {Size(3), Push(1), Push(2), Expect(2, 1), Push(3), Expect(3, 2), Push(4, 6), Expect(3, 2),
          Pop(1), Peek(1, 2), Peek(2, 3), Pop(2), Pop(3), Pop(kNone), Expect(0, 0)}},
        {"peek outside 1..Count is error 9",
         {Size(3), Peek(1, 0, 9), Push(7), Peek(0, 0, 9), Peek(-1, 0, 9), Peek(2, 0, 9),
          Peek(1, 7)}},
        {"write position wraps past the last slot",
         {Size(3), Push(1), Push(2), Pop(1), Pop(2), Push(3), Push(4), Push(5), Expect(3, 2),
          Peek(1, 3), Peek(2, 4), Peek(3, 5), Pop(3), Push(6), Peek(3, 6), Pop(4), Pop(5), Pop(6),
          Expect(0, 0)}},
        {"count and peek while the read position lies after the write position",
         {Size(4), Push(1), Push(2), Push(3), Pop(1), Pop(2), Push(4), Push(5), Expect(3, 1),
          Peek(1, 3), Peek(2, 4), Peek(3, 5), Peek(4, 0, 9)}},
        {"a queue of one", {Size(1), Push(8), Expect(1, 2), Push(9, 6), Pop(8), Expect(0, 0)}},
        {"resizing empties the queue",
         {Size(3), Push(1), Push(2), Size(5), Expect(0, 0), Pop(kNone), Push(3), Push(4), Push(5),
          Push(6), Push(7), Expect(5, 2), Push(8, 6)}},
        {"a size below 1 is error 5 and keeps contents and size",
         {Size(2), Push(1), Size(0, 5), Size(-1, 5), Expect(1, 1), Push(2), Push(3, 6), Pop(1)}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        clsFIFOStack<int> q;
        for (std::size_t k = 0; k < row.steps.size(); ++k) {
            SCOPED_TRACE("step " + std::to_string(k));
            Apply(q, row.steps[k]);
        }
    }
}

TEST(clsFIFOStack, HoldsOneHundredAfterCreation) {
    clsFIFOStack<int> q;
    for (int k = 0; k < 100; ++k)
        q.Push(k);
    EXPECT_EQ(q.State(), 2);
    EXPECT_EQ(q.Peek(100), 99);
    EXPECT_THROW(q.Push(100), Error);
}

// The step past slot 32767 does not fit the 16-bit size; bool because it has no plain
// reference in std::vector.
TEST(clsFIFOStack, LargestSizeWrapsWithoutOverflow) {
    clsFIFOStack<bool> q;
    q.Size(32767);
    for (int k = 0; k < 32767; ++k)
        q.Push(true);
    EXPECT_EQ(q.Count(), 32767);
    EXPECT_EQ(q.Pop(), std::optional<bool>(true));
    q.Push(false);  // into slot 1 again
    EXPECT_EQ(q.Peek(32767), false);
    EXPECT_EQ(q.Count(), 32767);
}

}  // namespace
}  // namespace zelmo
