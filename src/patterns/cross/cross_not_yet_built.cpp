// The cross-country patterns and the pass display are not built yet: they do nothing.
#include "app/fqpane.h"

namespace qpane {

void TFqpane::syoriC1() {}
void TFqpane::syoriC2() {}
void TFqpane::syoriC3() {}
void TFqpane::syoriC4() {}
void TFqpane::syoriR() {}
void TFqpane::Timer3Timer() {}

}  // namespace qpane
