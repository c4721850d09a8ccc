#include "store/group_panel.h"

#include "platform/controls.h"
#include "platform/convert.h"
#include "store/query.h"

namespace qpane {

namespace {

// A spin field whose text is not a whole number stops the handler with the conversion error
// before anything is written.
void requireWholeNumber(const SpinEdit& field) {
    StrToInt(field.Text());
}

// The first or last bib that holds group g in any block, as a number; 0 when no bib does.
int groupBib(TQuery& Qtemp, const std::string& selectHead, std::string_view column,
             const std::string& g) {
    Qtemp.SQL().Clear();
    Qtemp.SQL().Add(selectHead + sqlValue(g) + "'");
    Qtemp.Open();
    const std::string bib = Qtemp.FieldByName(column).AsString();
    return bib.empty() ? 0 : StrToInt(bib);
}

}  // namespace

void GroupPanel::toggle() {
    if (Panel6.visible()) {
        Panel6.setVisible(false);
        return;
    }
    Panel6.setVisible(true);
    // The grid shows block 0 whatever SPE shows; SPE is left as it is.
    Qgroup.SQL().Clear();
    Qgroup.SQL().Add("select * from timedata where block='0' order by bib");
    Qgroup.Open();
    SpEgr.SetValue(0);
    SpEs.SetValue(0);
    SpEe.SetValue(0);
}

void GroupPanel::showBlock() {
    // SpE2 of the maintenance page shares this handler, and it too refreshes the group grid
    // from SPE.
    Qgroup.SQL().Clear();
    Qgroup.SQL().Add("select * from timedata where block='" +
                     sqlValue(std::to_string(SPE.Value())) + "' order by bib");
    Qgroup.Open();
}

void GroupPanel::loadGroup() {
    const std::string g = std::to_string(SpEgr.Value());
    // Each assignment runs its own change handler before the next lookup.
    SpEs.SetValue(
        groupBib(Qtemp, "select min(bib) as minbib from timedata where grp='", "minbib", g));
    SpEe.SetValue(
        groupBib(Qtemp, "select max(bib) as maxbib from timedata where grp='", "maxbib", g));
}

void GroupPanel::keepEndAfterBegin() {
    if (SpEs.Value() > SpEe.Value()) SpEe.SetValue(SpEs.Value() + 1);
}

void GroupPanel::keepEndFromBegin() {
    if (SpEe.Value() < SpEs.Value()) SpEe.SetValue(SpEs.Value());
}

void GroupPanel::assign(std::string& beginBib, std::string& endBib) {
    const std::string s = formatBib(StrToInt(SpEs.Text()));
    beginBib = s;
    const std::string e = formatBib(StrToInt(SpEe.Text()));
    endBib = e;
    // A group or block field that does not hold a number would write a group nobody chose,
    // or into a block nobody chose.
    requireWholeNumber(SpEgr);
    requireWholeNumber(SPE);

    Qtemp.SQL().Clear();
    Qtemp.SQL().Add("update timedata set grp='" + sqlValue(SpEgr.Text()) + "'");
    Qtemp.SQL().Add("where (bib>='" + sqlValue(s) + "' and bib<='" + sqlValue(e) + "')and block='" +
                    sqlValue(std::to_string(SPE.Value())) + "'");
    Qtemp.ExecSQL();

    Qgroup.Close();
    Qgroup.Open();
    Qgroup.Locate("bib", s);

    // The next group: its lookup loads the bibs it already holds (0 and 0 when none), and the
    // range then moves on past its last bib.
    SpEgr.SetValue(SpEgr.Value() + 1);
    SpEs.SetValue(SpEe.Value() + 1);
    SpEe.SetValue(SpEe.Value() + 1);
}

void GroupPanel::resetBlock() {
    requireWholeNumber(SPE);
    Qtemp.SQL().Clear();
    Qtemp.SQL().Add("update timedata set grp='0' where block='" +
                    sqlValue(std::to_string(SPE.Value())) + "'");
    Qtemp.ExecSQL();
    Qgroup.Close();
    Qgroup.Open();
}

void GroupPanel::resetAll() {
    Qtemp.SQL().Clear();
    Qtemp.SQL().Add("update timedata set grp='0'");
    Qtemp.ExecSQL();
    Qgroup.Close();
    Qgroup.Open();
}

}  // namespace qpane
