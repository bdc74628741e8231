#include "party/partypage.h"

#include <QByteArray>
#include <QCryptographicHash>

namespace orba::party {

namespace {

// Mobile first: one column, big touch targets; wider screens get a margin.
const char* const kStyle = R"css(
*{box-sizing:border-box}
body{margin:0;font-family:system-ui,sans-serif;background:#14121f;color:#f3f0ff;font-size:17px}
header{display:flex;justify-content:space-between;align-items:center;padding:10px 14px;background:#2b2350}
h1{font-size:1.15em;margin:0}h2{font-size:1.05em;margin:18px 0 6px}
main{padding:10px 14px;max-width:640px;margin:auto}
input,button{font:inherit;border-radius:8px;border:1px solid #5a4f8f;padding:10px}
input{background:#1f1b33;color:inherit;width:100%}
button{background:#6d4aff;color:#fff;border:none;min-width:44px;min-height:44px}
button:disabled{opacity:.4}
label{display:block}
form{display:flex;gap:8px;margin-top:10px;align-items:center}
form input{flex:1;min-width:0}form button{flex:none;white-space:nowrap}
ul,ol{list-style:none;padding:0;margin:0}
li{display:flex;align-items:center;gap:8px;padding:8px 0;border-bottom:1px solid #2e2848}
.text{flex:1;min-width:0}.title{font-weight:600;overflow-wrap:anywhere}
.artist,.singer{color:#b9b0e0;font-size:.9em;margin-left:6px}
.line{color:#8f86b8;font-size:.85em;font-style:italic;overflow-wrap:anywhere}
.entry .title{flex:1}
.mine{background:#3a2f6b;border-radius:8px;padding-left:6px}
.controls{display:flex;gap:4px}
.empty{color:#8f86b8}
#message{min-height:1.3em;color:#ffd76a}
#now{font-weight:600;color:#9ef0c3}
#paused{color:#ffb3b3}
#status.on{color:#6df29b}#status.off{color:#ff7a7a}
details{margin-top:22px}
#host-controls{display:flex;gap:8px;margin-top:8px}
)css";

// Everything a guest sent is shown through textContent: a name like
// "<script>" stays text.
const char* const kScript = R"js(
'use strict';
(function () {
  const token = new URLSearchParams(location.search).get('t') || '';
  const $ = (id) => document.getElementById(id);
  const store = {
    get(k) { try { return localStorage.getItem(k); } catch (e) { return null; } },
    set(k, v) { try { localStorage.setItem(k, v); } catch (e) {} },
  };
  const singer = $('singer');
  singer.value = store.get('orba.singer') || '';
  singer.addEventListener('change', () => { store.set('orba.singer', singer.value.trim()); render(); });
  let mine = [];
  try { mine = JSON.parse(store.get('orba.entries') || '[]').filter(Number.isInteger); } catch (e) { mine = []; }
  function remember(entry) {
    mine.push(entry);
    mine = mine.slice(-50);
    store.set('orba.entries', JSON.stringify(mine));
  }
  let pin = '';
  try { pin = sessionStorage.getItem('orba.pin') || ''; } catch (e) {}
  $('pin').value = pin;

  function say(text) { $('message').textContent = text; }
  function el(tag, cls, text) {
    const e = document.createElement(tag);
    if (cls) e.className = cls;
    if (text !== undefined) e.textContent = String(text);
    return e;
  }
  function errorText(status, data) {
    if (status === 403) return 'PIN またはリンクが違います';
    if (status === 429) return '少し待ってからもう一度どうぞ';
    if (data && typeof data.error === 'string') return data.error;
    return 'エラー ' + status;
  }
  async function api(method, path, body, asHost) {
    const headers = { 'X-Room-Token': token };
    if (body !== undefined) headers['Content-Type'] = 'application/json';
    if (asHost) headers['X-Host-Pin'] = pin;
    const r = await fetch(path, {
      method, headers, cache: 'no-store',
      body: body === undefined ? undefined : JSON.stringify(body),
    });
    let data = {};
    try { data = await r.json(); } catch (e) {}
    if (!r.ok) throw new Error(errorText(r.status, data));
    return data;
  }

  let searchSeq = 0, timer = 0;
  async function search() {
    const q = $('q').value.trim();
    const seq = ++searchSeq;
    if (!q) { $('results').replaceChildren(); return; }
    try {
      const data = await api('GET', '/api/search?q=' + encodeURIComponent(q));
      if (seq === searchSeq) showResults(Array.isArray(data.songs) ? data.songs : []);
    } catch (e) { if (seq === searchSeq) say(e.message); }
  }
  function showResults(songs) {
    const list = $('results');
    list.replaceChildren();
    if (!songs.length) { list.append(el('li', 'empty', '見つかりません')); return; }
    for (const s of songs) {
      const li = el('li', 'song');
      const text = el('div', 'text');
      text.append(el('div', 'title', s.title), el('div', 'artist', s.artist));
      if (s.line) text.append(el('div', 'line', s.line));
      const b = el('button', 'sing', '歌う');
      b.addEventListener('click', () => queueSong(s, b));
      li.append(text, b);
      list.append(li);
    }
  }
  async function queueSong(s, button) {
    const name = singer.value.trim();
    if (!name) { say('名前を入れてください'); singer.focus(); return; }
    store.set('orba.singer', name);
    button.disabled = true;
    try {
      const data = await api('POST', '/api/queue', { song: s.id, singer: name });
      remember(data.entry);
      say('「' + s.title + '」をキューに入れました');
      render();
    } catch (e) { say(e.message); }
    finally { button.disabled = false; }
  }
  $('search-form').addEventListener('submit', (ev) => { ev.preventDefault(); clearTimeout(timer); search(); });
  $('q').addEventListener('input', () => { clearTimeout(timer); timer = setTimeout(search, 300); });

  let queue = { now: null, entries: [], paused: false };
  async function asHost(method, path, body) {
    try { await api(method, path, body, true); } catch (e) { say(e.message); }
  }
  function render() {
    $('now').textContent = queue.now ? '♪ ' + queue.now.title + ' — ' + queue.now.singer : '';
    $('paused').hidden = !queue.paused;
    $('host-controls').hidden = !pin;
    const list = $('queue');
    list.replaceChildren();
    const me = singer.value.trim();
    queue.entries.forEach((e, i) => {
      const li = el('li', 'entry');
      if (mine.includes(e.entry) || (me && e.singer === me)) li.classList.add('mine');
      li.append(el('span', 'title', e.title), el('span', 'singer', e.singer));
      if (pin) {
        const controls = el('span', 'controls');
        const add = (label, title, action, disabled) => {
          const b = el('button', '', label);
          b.title = title;
          b.disabled = disabled;
          b.addEventListener('click', action);
          controls.append(b);
        };
        const moveTo = (to) => () => asHost('POST', '/api/queue/' + e.entry + '/move', { to });
        add('↑', '上へ', moveTo(i - 1), i === 0);
        add('↓', '下へ', moveTo(i + 1), i === queue.entries.length - 1);
        add('✕', '削除', () => asHost('DELETE', '/api/queue/' + e.entry), false);
        li.append(controls);
      }
      list.append(li);
    });
    if (!queue.entries.length) list.append(el('li', 'empty', 'キューは空です'));
  }
  $('pin').addEventListener('change', () => {
    pin = $('pin').value.trim();
    try { sessionStorage.setItem('orba.pin', pin); } catch (e) {}
    render();
  });
  $('skip').addEventListener('click', () => asHost('POST', '/api/skip'));
  $('pause').addEventListener('click', () => asHost('POST', '/api/pause'));

  let backoff = 500;
  function connect() {
    const scheme = location.protocol === 'https:' ? 'wss://' : 'ws://';
    const ws = new WebSocket(scheme + location.host + '/ws?t=' + encodeURIComponent(token));
    ws.onopen = () => { backoff = 500; $('status').textContent = '●'; $('status').className = 'on'; };
    ws.onmessage = (m) => {
      try {
        const q = JSON.parse(m.data);
        if (q && Array.isArray(q.entries)) { queue = q; render(); }
      } catch (e) {}
    };
    ws.onclose = () => {
      $('status').textContent = '○';
      $('status').className = 'off';
      setTimeout(connect, backoff);
      backoff = Math.min(backoff * 2, 10000);
    };
  }
  render();
  connect();
})();
)js";

const char* const kBodyTop = R"html(<!doctype html>
<html lang="ja"><head><meta charset="utf-8">
<meta name="viewport" content="width=device-width,initial-scale=1">
<title>ORBAカラオケ</title>
<style>)html";

const char* const kBodyMiddle = R"html(</style></head>
<body>
<header><h1>ORBAカラオケ</h1><span id="status" class="off">○</span></header>
<main>
<label>名前<input id="singer" maxlength="40" autocomplete="nickname" placeholder="あなたの名前"></label>
<form id="search-form" role="search"><input id="q" type="search" maxlength="100" autocomplete="off" placeholder="曲名・歌手・歌詞"><button>検索</button></form>
<p id="message" role="status"></p>
<ul id="results"></ul>
<h2>キュー</h2>
<p id="now"></p><p id="paused" hidden>一時停止中</p>
<ol id="queue"></ol>
<details id="host"><summary>ホスト</summary>
<input id="pin" inputmode="numeric" maxlength="6" autocomplete="off" placeholder="PIN">
<div id="host-controls" hidden><button id="skip">スキップ</button><button id="pause">一時停止 / 再開</button></div>
</details>
</main>
<script>)html";

const char* const kBodyEnd = "</script></body></html>\n";

std::string sha256Source(const char* text) {
    return "'sha256-" +
           QCryptographicHash::hash(QByteArray(text), QCryptographicHash::Sha256)
               .toBase64()
               .toStdString() +
           "'";
}

}  // namespace

const std::string& partyPageHtml() {
    static const std::string page =
        std::string(kBodyTop) + kStyle + kBodyMiddle + kScript + kBodyEnd;
    return page;
}

const std::string& partyPagePolicy() {
    static const std::string policy = "default-src 'none'; style-src " + sha256Source(kStyle) +
                                      "; script-src " + sha256Source(kScript) +
                                      "; connect-src 'self' ws: wss:; img-src 'self' data:; "
                                      "base-uri 'none'; form-action 'none'; frame-ancestors 'none'";
    return policy;
}

}  // namespace orba::party
