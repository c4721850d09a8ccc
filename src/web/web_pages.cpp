#include "web/web_pages.h"

namespace qpane::web {

const char* const kResultsPage = R"HTML(<!DOCTYPE html>
<html lang="ja"><head><meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<title>Q-PANE 速報</title><link rel="stylesheet" href="/app.css"></head>
<body data-page="results">
<header><h1 id="title">Q-PANE 速報</h1><div id="pattern"></div>
<div id="status" class="status">接続中…</div></header>
<main>
<section><h2>最新の通過</h2><ol id="passes" class="passes"></ol></section>
<section><h2>順位 <select id="group" aria-label="ブロックと組"></select></h2>
<table id="ranking"><thead></thead><tbody></tbody></table></section>
<section><h2>ボード <a href="/board">全画面</a></h2><div id="board" class="board"></div></section>
</main>
<pre id="latency" hidden></pre>
<script src="/app.js"></script></body></html>
)HTML";

const char* const kBoardPage = R"HTML(<!DOCTYPE html>
<html lang="ja"><head><meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<title>Q-PANE ボード</title><link rel="stylesheet" href="/app.css"></head>
<body data-page="board" class="board-only">
<div id="board" class="board"></div>
<div id="status" class="status">接続中…</div>
<pre id="latency" hidden></pre>
<script src="/app.js"></script></body></html>
)HTML";

const char* const kPageStyle = R"CSS(
body { background: #101418; color: #e8e8e8; font-family: sans-serif; margin: 0; padding: 0.5em; }
h1 { font-size: 1.4em; margin: 0.2em 0; }
h2 { font-size: 1.1em; margin: 0.8em 0 0.3em; }
a { color: #8cf; }
.status { font-size: 0.8em; color: #999; }
.status.live { color: #6c6; }
.passes { margin: 0; padding-left: 1.5em; font-family: monospace; font-size: 1.1em; }
table { border-collapse: collapse; font-family: monospace; font-size: 1.05em; }
th, td { padding: 0.15em 0.6em; text-align: right; border-bottom: 1px solid #333; }
th { color: #aaa; font-weight: normal; }
.board { background: #000; display: inline-block; padding: 0.4em 0.8em; border: 4px solid #333;
         border-radius: 6px; font-family: "DejaVu Sans Mono", monospace; }
.board .row { white-space: pre; color: #ffb400; font-size: 1.3em; line-height: 1.35;
              text-shadow: 0 0 4px #a60; }
.board .row .letter { color: #555; text-shadow: none; }
.board .row.fresh { color: #ffe070; }
.board-only .board { font-size: 2.4vh; }
)CSS";

const char* const kPageScript = R"JS('use strict';
(function () {
  var $ = function (id) { return document.getElementById(id); };
  var state = { sequence: 0, rankingVersion: -1, groups: [], shown: '', latencies: [] };
  var chosen = null;

  function text(el, t) { el.textContent = t; }
  function cell(tag, t) { var c = document.createElement(tag); c.textContent = t; return c; }

  function drawBoard(rows) {
    var board = $('board');
    if (!board) return;
    var now = Date.now();
    board.textContent = '';
    rows.forEach(function (r) {
      var line = document.createElement('div');
      line.className = 'row' + (r.sentAt && now - r.sentAt < 2000 ? ' fresh' : '');
      line.dataset.row = r.row;
      var letter = cell('span', r.row + ' ');
      letter.className = 'letter';
      line.appendChild(letter);
      line.appendChild(cell('span', (r.text || '').substring(1).padEnd(29, ' ')));
      board.appendChild(line);
    });
  }

  // How long each row took from its send to the board to this page. The rows of the first
  // snapshot went out before the page was there: they only set the mark.
  function measure(rows) {
    var now = Date.now();
    var newest = 0;
    rows.forEach(function (r) { if (r.sentAt > newest) newest = r.sentAt; });
    if (state.lastSentAt !== undefined)
      rows.forEach(function (r) { if (r.sentAt > state.lastSentAt) state.latencies.push(now - r.sentAt); });
    state.lastSentAt = Math.max(state.lastSentAt || 0, newest);
    var el = $('latency');
    if (el) el.textContent = JSON.stringify({ sequence: state.sequence, latencies: state.latencies });
  }

  function drawPasses(passes) {
    var list = $('passes');
    if (!list) return;
    list.textContent = '';
    var names = { run1: '1本目', run2: '2本目', total: '合計', pass: '通過' };
    passes.forEach(function (p) {
      list.appendChild(cell('li', 'B' + p.block + ' 組' + p.group + '  ' + p.bib + '  ' +
                                  (names[p.what] || p.what) + ' ' + p.time));
    });
  }

  function drawGroups(groups) {
    var select = $('group');
    if (!select) return;
    var keys = groups.map(function (g) { return g.block + '/' + g.group; });
    if (keys.join() === state.groups.join()) return;
    state.groups = keys;
    var keep = chosen || keys[0] || '';
    select.textContent = '';
    groups.forEach(function (g) {
      var o = cell('option', 'ブロック ' + g.block + ' 組 ' + (g.group === '0' ? 'なし' : g.group));
      o.value = g.block + '/' + g.group;
      select.appendChild(o);
    });
    if (keys.indexOf(keep) >= 0) select.value = keep;
  }

  function drawRanking(data) {
    var table = $('ranking');
    if (!table) return;
    var g = data.groups[0];
    var alpine = data.discipline === 'alpine';
    var heads = alpine ? ['順位', 'ゼッケン', '1本目', '2本目', '合計', '差']
                       : ['順位', 'ゼッケン', '周回', 'タイム', '差'];
    var head = document.createElement('tr');
    heads.forEach(function (h) { head.appendChild(cell('th', h)); });
    table.tHead.textContent = '';
    table.tHead.appendChild(head);
    var body = table.tBodies[0];
    body.textContent = '';
    (g ? g.rows : []).forEach(function (r) {
      var tr = document.createElement('tr');
      var values = alpine ? [r.rank, r.bib, r.run1, r.run2, r.total, r.difference]
                          : [r.rank, r.bib, r.laps, r.total, r.difference];
      values.forEach(function (v) { tr.appendChild(cell('td', v)); });
      body.appendChild(tr);
    });
  }

  function loadRanking(force) {
    var select = $('group');
    if (!select || !select.value) return;
    if (!force && state.shown === select.value + '@' + state.rankingVersion) return;
    state.shown = select.value + '@' + state.rankingVersion;
    var parts = select.value.split('/');
    fetch('/api/ranking?block=' + encodeURIComponent(parts[0]) + '&group=' +
          encodeURIComponent(parts[1]), { cache: 'no-store' })
      .then(function (r) { return r.ok ? r.json() : null; })
      .then(function (d) { if (d) drawRanking(d); })
      .catch(function () {});
  }

  function show(s) {
    if (s.sequence <= state.sequence) return;
    state.sequence = s.sequence;
    if (s.title) { text($('title') || document.createElement('i'), s.title); document.title = s.title; }
    if ($('pattern')) text($('pattern'), s.pattern || '');
    drawBoard(s.rows);
    measure(s.rows);
    drawPasses(s.passes || []);
    drawGroups(s.groups || []);
    if (s.rankingVersion !== state.rankingVersion) { state.rankingVersion = s.rankingVersion; loadRanking(false); }
  }

  function status(t, live) { var el = $('status'); if (el) { text(el, t); el.className = 'status' + (live ? ' live' : ''); } }

  function poll() {
    fetch('/api/live', { cache: 'no-store' })
      .then(function (r) { return r.json(); })
      .then(function (s) { status('更新中 (1秒ごと)', true); show(s); })
      .catch(function () { status('接続できません', false); })
      .then(function () { setTimeout(poll, 1000); });
  }

  if ($('group')) $('group').addEventListener('change', function () { chosen = $('group').value; loadRanking(true); });

  if (window.EventSource) {
    var es = new EventSource('/events');
    es.addEventListener('snapshot', function (e) { status('ライブ', true); show(JSON.parse(e.data)); });
    es.onerror = function () {
      // A stream refused (the server is full) is not tried again: poll instead.
      if (es.readyState === EventSource.CLOSED) { poll(); } else { status('再接続中…', false); }
    };
  } else {
    poll();
  }
})();
)JS";

}  // namespace qpane::web
