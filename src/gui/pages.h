#pragma once

class QWidget;

namespace qpane {

class TFqpane;
class WidgetMaker;

// The four pages of the window and the group panel, each filling the widget it is given
// with the widgets of the core's controls and its plain labels.
void buildBoardControlPage(QWidget* page, TFqpane& core, WidgetMaker& make);
void buildGroupPanel(QWidget* page, TFqpane& core, WidgetMaker& make);
void buildDataCheckPage(QWidget* page, TFqpane& core, WidgetMaker& make);
void buildPatternPage(QWidget* page, TFqpane& core, WidgetMaker& make);
void buildMaintenancePage(QWidget* page, TFqpane& core, WidgetMaker& make);

}  // namespace qpane
