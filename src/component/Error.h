#pragma once

#include <stdexcept>
#include <string>

namespace zelmo {

// The one exception type of the core. `number` carries a run-time error number where the
// behaviour names one (5 invalid call, 6 overflow, 9 subscript out of range), else 0.
class Error : public std::runtime_error {
  public:
    explicit Error(const std::string& message, int number = 0)
        : std::runtime_error(message), number_(number) {}

    int number() const noexcept { return number_; }

  private:
    int number_;
};

}  // namespace zelmo
