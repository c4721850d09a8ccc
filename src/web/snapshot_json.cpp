#include "web/snapshot_json.h"

#include "web/json_text.h"

namespace qpane::web {

namespace {

void head(JsonText& j, const WebSnapshot& s) {
    j.key("sequence").number(static_cast<int64_t>(s.sequence));
    j.key("title").string(s.title);
    j.key("pattern").string(s.pattern);
    j.key("publishedAt").number(s.publishedAtMs);
    j.key("rankingVersion").number(static_cast<int64_t>(s.rankingVersion));
    j.key("discipline").string(disciplineName(s.rankings->discipline));
}

void rows(JsonText& j, const BoardMirror& board) {
    j.key("rows").beginArray();
    for (const MirrorRow& r : board.rows) {
        j.beginObject();
        j.key("row").string(std::string(1, r.letter));
        j.key("bytes").bytes(r.bytes);
        j.key("text").string(r.text);
        j.key("sentAt").number(r.sentAtMs);
        j.endObject();
    }
    j.endArray();
}

void group(JsonText& j, const RankedGroup& g) {
    j.beginObject();
    j.key("block").string(g.block);
    j.key("group").string(g.group);
    j.key("rows").beginArray();
    for (const results::ResultRow& r : g.rows) {
        j.beginObject();
        j.key("rank").string(r.rank);
        j.key("bib").string(r.bib);
        j.key("run1").string(r.run1);
        j.key("run2").string(r.run2);
        j.key("total").string(r.total);
        j.key("laps").string(r.laps);
        j.key("difference").string(r.difference);
        j.endObject();
    }
    j.endArray();
    j.endObject();
}

}  // namespace

std::string disciplineName(results::Discipline d) {
    switch (d) {
        case results::Discipline::Cross: return "cross";
        case results::Discipline::Relay: return "relay";
        default: return "alpine";
    }
}

std::string boardJson(const WebSnapshot& s) {
    JsonText j;
    j.beginObject();
    head(j, s);
    rows(j, *s.board);
    j.endObject();
    return j.take();
}

std::optional<std::string> rankingJson(const WebSnapshot& s,
                                       const std::optional<std::string>& block,
                                       const std::optional<std::string>& groupNo) {
    JsonText j;
    j.beginObject();
    head(j, s);
    j.key("groups").beginArray();
    size_t found = 0;
    for (const RankedGroup& g : s.rankings->groups) {
        if (block && g.block != *block) continue;
        if (groupNo && g.group != *groupNo) continue;
        group(j, g);
        ++found;
    }
    j.endArray();
    j.endObject();
    if (found == 0 && (block || groupNo)) return std::nullopt;
    return j.take();
}

std::string eventJson(const WebSnapshot& s) {
    JsonText j;
    j.beginObject();
    head(j, s);
    rows(j, *s.board);
    j.key("passes").beginArray();
    for (const Pass& p : *s.passes) {
        j.beginObject();
        j.key("block").string(p.block);
        j.key("group").string(p.group);
        j.key("bib").string(p.bib);
        j.key("what").string(p.what);
        j.key("time").string(p.time);
        j.key("seenAt").number(p.seenAtMs);
        j.endObject();
    }
    j.endArray();
    j.key("groups").beginArray();
    for (const RankedGroup& g : s.rankings->groups) {
        j.beginObject();
        j.key("block").string(g.block);
        j.key("group").string(g.group);
        j.endObject();
    }
    j.endArray();
    j.endObject();
    return j.take();
}

}  // namespace qpane::web
