// The maintenance page and the group panel are not built yet: their handlers do nothing.
#include "app/fqpane.h"

namespace qpane {

void TFqpane::TabSheet4Show() {}
void TFqpane::DBGrid2CellClick() {}
void TFqpane::DBGrid2KeyDown(std::string_view) {}
void TFqpane::ME1KeyDown(std::string_view) {}
void TFqpane::ME2KeyDown(std::string_view) {}
void TFqpane::CuteButton8Click() {}
void TFqpane::CuteButton4Click() {}
void TFqpane::Button3Click() {}
void TFqpane::SPEChange() {}
void TFqpane::SpEgrChange() {}
void TFqpane::SpEsChange() {}
void TFqpane::SpEeChange() {}
void TFqpane::CuteButton6Click() {}
void TFqpane::CuteButton7Click() {}
void TFqpane::CuteButton9Click() {}

}  // namespace qpane
