#pragma once

class QWidget;

namespace qpane {

class TFqpane;

// The four pages of the window and the group panel, each filling the widget it is given
// with the widgets of its controls (named after them) and its plain labels.
void buildBoardControlPage(QWidget* page, TFqpane& core);
void buildGroupPanel(QWidget* page, TFqpane& core);
void buildDataCheckPage(QWidget* page, TFqpane& core);
void buildPatternPage(QWidget* page, TFqpane& core);
void buildMaintenancePage(QWidget* page, TFqpane& core);

}  // namespace qpane
