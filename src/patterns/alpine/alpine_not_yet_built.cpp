// The alpine patterns are not built yet: a cycle with one of them selected does nothing.
#include "app/fqpane.h"

namespace qpane {

void TFqpane::syoriA1() {}
void TFqpane::syoriA2() {}
void TFqpane::syoriA3() {}
void TFqpane::syoriA4() {}
void TFqpane::syoriA5() {}

}  // namespace qpane
