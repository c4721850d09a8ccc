#include <array>

#include "patterns/cross/cross_line.h"
#include "patterns/cross/pass_recording.h"
#include "platform/convert.h"
#include "store/query.h"
#include "store/write_batch.h"

namespace qpane::cross {

void appendPassRow(CrossContext& c) {
    TQuery& q = c.store.Qedit;
    setSql(q, {"select max(uc) as maxc from crosst"});
    q.Open();
    std::string uc = q.FieldByName("maxc").AsString();
    if (uc.empty()) uc = "1";

    setSql(q, {"select * from crosst where uc='" + sqlValue(uc) + "'"});
    q.Open();
    std::array<std::string, 10> tm;  // tm[1] .. tm[9] of the newest row
    for (int i = 1; i <= 9; ++i)
        tm[i] = sqlValue(q.FieldByName("tm" + std::to_string(i)).AsString());

    uc = std::to_string(static_cast<int64_t>(StrToInt(uc)) + 1);
    setSql(q, {"insert into crosst values('" + uc + "'",
               ",'" + sqlValue(c.fields.workLine) + "','" + tm[1] + "','" + tm[2] + "','" + tm[3] +
                   "','" + tm[4] + "'",
               ",'" + tm[5] + "','" + tm[6] + "','" + tm[7] + "','" + tm[8] + "','" + tm[9] +
                   "','0')"});
    q.ExecSQL();
}

void storePass(CrossContext& c) {
    TQuery& Qedit = c.store.Qedit;
    WriteBatch batch(Qedit.database());
    Qedit.ExecSQL();
    appendPassRow(c);
    batch.commit();
}

}  // namespace qpane::cross
