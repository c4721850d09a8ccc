#include "store/maintenance_page.h"

#include "input/time_values.h"
#include "platform/controls.h"
#include "platform/convert.h"
#include "store/grid_control.h"
#include "store/query.h"

namespace qpane {

namespace {

constexpr const char* kNoTime = "00:00:00.00";

// A column of the current record of the maintenance grid; a grid that was never filled reads
// like an empty one.
std::string currentText(const TQuery& q, std::string_view column) {
    return q.Active() ? q.FieldByName(column).AsString() : std::string();
}

// A stored time goes into its masked field the way typed text does, so that the field holds
// 11 characters whatever width the stored text has.
std::string storedTime(const std::string& text) {
    return text.empty() ? std::string(kNoTime) : MaskEdit::applyMask(text);
}

// A spin field whose text is not a whole number stops the handler with the conversion error.
void requireWholeNumber(const SpinEdit& field) {
    StrToInt(field.Text());
}

}  // namespace

void MaintenancePage::listAll() {
    Qmente.SQL().Clear();
    Qmente.SQL().Add("select * from timedata order by block,bib");
    Qmente.Open();
}

void MaintenancePage::filter() {
    // Every text is converted before the query is touched, so a bad one leaves the grid as
    // it was.
    const bool withRange = !Edit4.Text().empty() && !Edit5.Text().empty();
    std::string a, b;
    if (withRange) {
        a = formatBib(StrToInt(Edit4.Text()));
        b = formatBib(StrToInt(Edit5.Text()));
    }
    requireWholeNumber(SpE2);

    Qmente.SQL().Clear();
    Qmente.SQL().Add("select * from timedata where block='" + sqlValue(SpE2.Text()) + "'");
    if (withRange)
        Qmente.SQL().Add("and bib>='" + sqlValue(a) + "' and bib<='" + sqlValue(b) + "'");
    Qmente.SQL().Add("order by bib");
    Qmente.Open();
}

void MaintenancePage::takeRow() {
    Edit2.SetText(currentText(Qmente, "bib"));
    ME1.SetText(storedTime(currentText(Qmente, "time1")));
    ME2.SetText(storedTime(currentText(Qmente, "time2")));
    setFocus(ME1);
}

void MaintenancePage::gridKey(std::string_view key) {
    if (key == "Enter") takeRow();
}

void MaintenancePage::time1Key(std::string_view key) {
    if (key == "Enter") setFocus(ME2);
}

void MaintenancePage::time2Key(std::string_view key) {
    if (key == "Enter") setFocus(CuteButton4);
}

std::string MaintenancePage::correct() {
    const std::string t1 = ME1.Text();
    const std::string t2 = ME2.Text();
    // A block field that is not a whole number would address no row, and the operator would
    // take the silence for a stored correction.
    requireWholeNumber(SpE2);
    const std::string total = timefill(numtotime(timetonum(t1) + timetonum(t2)));

    Qedit3.SQL().Clear();
    Qedit3.SQL().Add("update timedata set time1='" + sqlValue(t1) + "',time2='" + sqlValue(t2) +
                     "',totalt='" + sqlValue(total) + "'");
    Qedit3.SQL().Add("where bib='" + sqlValue(Edit2.Text()) + "' and block='" +
                     sqlValue(SpE2.Text()) + "'");
    // A refused correction must not pass for a stored one: the operator is told, and the grid
    // below is still refreshed so that it shows the times that are really stored.
    std::string refused;
    try {
        Qedit3.ExecSQL();
    } catch (const EDatabaseError& e) {
        refused = e.what();
    }

    // Runs the grid's statement again, so a filter stays in force.
    Qmente.Close();
    Qmente.Open();
    Qmente.Locate("bib", Edit2.Text());
    setFocus(DBGrid2);
    return refused;
}

}  // namespace qpane
