#include "runtime/errors.h"

namespace rt {

void raise_overflow() { throw OverflowError(); }

}  // namespace rt
