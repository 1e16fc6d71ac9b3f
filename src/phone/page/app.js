// The phone page of the jukebox: search and browse the songs, order them, and follow the
// queue live. Every address is relative, so each request carries the token of the page's own
// address. Nothing here loads from anywhere but the jukebox.
'use strict';

const $ = (id) => document.getElementById(id);
const me = { phone: phoneId(), name: stored('karaoke.name'), tag: '', pin: '' };
let info = { owner: 'off', kinds: [], groups: [] };
let queue = { playing: false, paused: false, songs: [] };

// ---- the phone's own id and name, kept on the phone -------------------------------------

function stored(key) {
  try { return localStorage.getItem(key) || ''; } catch (e) { return ''; }
}

function store(key, value) {
  try { localStorage.setItem(key, value); } catch (e) { /* private browsing: kept for this visit only */ }
}

function phoneId() {
  let id = stored('karaoke.phone');
  if (!/^[A-Za-z0-9_-]{16,64}$/.test(id)) {
    const bytes = new Uint8Array(18);
    crypto.getRandomValues(bytes);
    id = btoa(String.fromCharCode(...bytes)).replace(/\+/g, '-').replace(/\//g, '_');
    store('karaoke.phone', id);
  }
  return id;
}

// ---- talking to the jukebox ---------------------------------------------------------------

async function api(path, body) {
  const options = body === undefined
    ? { cache: 'no-store' }
    : { method: 'POST', headers: { 'Content-Type': 'application/json' }, body: JSON.stringify(body) };
  let response;
  try {
    response = await fetch('api/' + path, options);
  } catch (e) {
    throw new Error('連線中斷, 請稍後再試');
  }
  let data = {};
  try { data = await response.json(); } catch (e) { /* 403 and friends carry no body */ }
  if (response.status === 403 && !data.error) throw new Error('網址已失效, 請重新掃描螢幕上的 QR 碼');
  if (!response.ok) throw new Error(data.error || '點歌系統沒有回應 (' + response.status + ')');
  return data;
}

function query(path, params) {
  return api(path + '?' + new URLSearchParams(params).toString());
}

let toastTimer = 0;
function toast(text, bad) {
  const t = $('toast');
  t.textContent = text;
  t.className = bad ? 'bad' : '';
  t.hidden = false;
  clearTimeout(toastTimer);
  toastTimer = setTimeout(() => { t.hidden = true; }, 2600);
}

async function act(path, body, done) {
  try {
    const answer = await api(path, body);
    if (done) toast(done(answer));
  } catch (e) {
    if (/管理密碼/.test(e.message)) me.pin = '';
    toast(e.message, true);
  }
}

// ---- lists of songs -----------------------------------------------------------------------

function element(tag, className, text) {
  const e = document.createElement(tag);
  if (className) e.className = className;
  if (text !== undefined) e.textContent = text;
  return e;
}

function songItem(song) {
  const li = element('li');
  const text = element('div', 'song');
  text.append(element('b', '', song.title), element('small', '', song.singer + ' · ' + song.num));
  const order = element('button', 'order', '點歌');
  order.type = 'button';
  order.addEventListener('click', () => orderSong(song));
  li.append(text, order);
  return li;
}

function navItem(text, open) {
  const li = element('li', 'nav', text);
  li.addEventListener('click', open);
  return li;
}

async function orderSong(song) {
  if (!me.name && !(await askName())) return;
  act('order', { num: song.num, name: me.name, phone: me.phone },
    (answer) => '已點歌: ' + song.title + (answer.kept === false ? ' (點歌單暫時無法存檔)' : ''));
}

// ---- the search box -----------------------------------------------------------------------

const search = { text: '', page: 1, asked: 0, timer: 0 };

function searchSoon() {
  clearTimeout(search.timer);
  search.timer = setTimeout(() => runSearch($('q').value.trim(), 1), 200);
}

async function runSearch(text, page) {
  search.text = text;
  search.page = page;
  const asked = ++search.asked;
  const list = $('results');
  $('searchHint').hidden = text !== '';
  if (!text) {
    list.replaceChildren();
    $('more').hidden = true;
    return;
  }
  try {
    const found = await query('search', { q: text, page });
    if (asked !== search.asked) return; // a later letter was typed meanwhile
    if (page === 1) list.replaceChildren();
    list.append(...found.songs.map(songItem));
    if (page === 1 && found.songs.length === 0) list.append(element('li', 'hint', '找不到符合的歌曲'));
    $('more').hidden = !found.more;
  } catch (e) {
    toast(e.message, true);
  }
}

// ---- browsing as on the keypad: kind, then title length; group, then singer ---------------

// A list that goes deeper level by level; each level loads its rows a page at a time.
function browser(name, root) {
  const levels = [root];
  let page = 1;
  const path = $(name + 'Path');
  const list = $(name + 'List');
  const more = $(name + 'More');

  async function load(first) {
    const level = levels[levels.length - 1];
    page = first ? 1 : page + 1;
    try {
      const rows = await level.rows(page);
      if (first) list.replaceChildren();
      list.append(...rows.items);
      if (first && rows.items.length === 0) list.append(element('li', 'hint', '沒有歌曲'));
      more.hidden = !rows.more;
    } catch (e) {
      toast(e.message, true);
    }
  }

  function show() {
    path.replaceChildren(...levels.map((level, i) => {
      const b = element('button', '', level.title);
      b.type = 'button';
      b.addEventListener('click', () => { levels.length = i + 1; show(); });
      return b;
    }));
    load(true);
  }

  more.addEventListener('click', () => load(false));
  return { show, open: (level) => { levels.push(level); show(); } };
}

const fixed = (items) => async () => ({ items, more: false });
const songRows = (path, params) => async (page) => {
  const found = await query(path, Object.assign({ page }, params));
  return { items: found.songs.map(songItem), more: found.more };
};

const kinds = browser('kinds', {
  title: '種類',
  rows: async () => ({ items: info.kinds.map((name, kind) => navItem(name, () => kinds.open(countLevel(name, kind)))), more: false }),
});

function countLevel(name, kind) {
  const counts = [1, 2, 3, 4, 5, 6, 7, 8, 9, 10].map((count) => navItem(count === 10 ? '10 字以上' : count + ' 字',
    () => kinds.open({ title: count === 10 ? '10+ 字' : count + ' 字', rows: songRows('kind', { kind, count }) })));
  return { title: name, rows: fixed(counts) };
}

const singers = browser('singers', {
  title: '歌星',
  rows: async () => ({ items: info.groups.map((name, i) => navItem(name, () => singers.open(groupLevel(name, i + 1)))), more: false }),
});

function groupLevel(name, group) {
  return {
    title: name,
    rows: async (page) => {
      const found = await query('singers', { group, page });
      const items = found.singers.map((s) => navItem(s.name,
        () => singers.open({ title: s.name, rows: songRows('singer', { code: s.code }) })));
      return { items, more: found.more };
    },
  };
}

// ---- 熱門: the most sung songs, and the songs sung with their scores ----------------------

const charts = { period: 1 };

function sungItem(song) {
  const li = element('li');
  const text = element('div', 'song');
  text.append(element('b', '', song.title), element('small', '', song.singer + (song.by ? ' · ' + song.by + ' 點的' : '')));
  li.append(text);
  if (song.score !== undefined) li.append(element('span', 'score', '得分 ' + song.score));
  return li;
}

function chartItem(song, place) {
  const li = songItem(song);
  li.prepend(element('span', 'pos', String(place)));
  li.querySelector('small').append(' · 唱了 ' + song.times + ' 次');
  return li;
}

async function showCharts(period) {
  charts.period = period;
  for (const b of document.querySelectorAll('#chartsPath button')) b.classList.toggle('on', Number(b.dataset.period) === period);
  try {
    const found = await query('charts', { period });
    if (period !== charts.period) return; // another list was asked for meanwhile
    const list = $('chartsList');
    list.replaceChildren(...found.songs.map((song, i) => (period === 3 ? sungItem(song) : chartItem(song, i + 1))));
    if (found.songs.length === 0) list.append(element('li', 'hint', '還沒有唱過的歌'));
  } catch (e) {
    toast(e.message, true);
  }
}

// ---- the queue, live ----------------------------------------------------------------------

function mine(song) {
  return song.tag !== '' && song.tag === me.tag;
}

// Skipping, pausing and changing others' songs: open to every phone, behind the PIN, or off.
function owner() {
  return info.owner === 'open' || (info.owner === 'pin' && me.pin !== '');
}

function queueItem(song, position) {
  const li = element('li');
  const text = element('div', 'song');
  const small = element('small', '', song.singer);
  if (song.by) small.append(' · ', element('span', 'by', song.by + ' 點的'));
  text.append(element('b', '', song.title), small);
  li.append(element('span', 'pos', String(position)), text);
  if (mine(song) || owner()) {
    const actions = element('div', 'actions');
    if (position > 1) { // the first waiting song plays next already
      const cut = element('button', '', '插播');
      cut.type = 'button';
      cut.addEventListener('click', () => act('cutin', changeOf(song), () => '已插播: ' + song.title));
      actions.append(cut);
    }
    const remove = element('button', 'plain', '刪除');
    remove.type = 'button';
    remove.addEventListener('click', () => act('remove', changeOf(song), () => '已刪除: ' + song.title));
    actions.append(remove);
    li.append(actions);
  }
  return li;
}

function changeOf(song) {
  return { id: song.id, phone: me.phone, pin: mine(song) ? '' : me.pin };
}

function showQueue(view) {
  queue = view;
  const songs = view.songs.slice();
  const now = $('now');
  now.replaceChildren();
  const first = view.playing ? 1 : 0; // the song playing has no place among the waiting
  if (view.playing && songs.length > 0) {
    const playing = songs.shift();
    now.append(element('div', 'label', view.paused ? '暫停中' : '正在播放'), element('b', '', playing.title),
      element('small', '', playing.singer + (playing.by ? ' · ' + playing.by + ' 點的' : '')));
  }
  const items = songs.map((song, i) => queueItem(song, i + 1));
  const total = view.total === undefined ? view.songs.length : view.total;
  const further = total - view.songs.length;
  if (further > 0) {
    items.push(element('li', 'hint', '…… 後面還有 ' + further + ' 首'));
    for (const song of view.mine || []) items.push(queueItem(song, song.pos - first + 1));
  }
  $('waiting').replaceChildren(...items);
  $('empty').hidden = total > 0;
  $('count').textContent = total - first > 0 ? String(total - first) : '';
  $('skip').hidden = $('pause').hidden = !owner();
  $('pause').textContent = view.paused ? '繼續' : '暫停';
  $('unlock').hidden = info.owner !== 'pin' || me.pin !== '';
  $('ownerOff').hidden = info.owner !== 'off';
  $('unsaved').hidden = !view.unsaved;
}

// The live queue: the server sends every change and a ping every 15 s. A phone that slept
// or lost its Wi-Fi hears nothing for a while; it then connects again and reads the queue.
const live = { source: null, heard: 0, opens: 0 };

function listen() {
  if (live.source) live.source.close();
  const source = new EventSource('api/events?phone=' + encodeURIComponent(me.phone));
  live.source = source;
  live.heard = Date.now();
  source.onopen = () => {
    $('live').classList.add('on');
    if (live.opens++ > 0) readInfo(); // the jukebox may have restarted meanwhile
  };
  source.onmessage = (e) => { live.heard = Date.now(); showQueue(JSON.parse(e.data)); };
  source.addEventListener('ping', () => { live.heard = Date.now(); });
  source.onerror = () => { $('live').classList.remove('on'); };
}

setInterval(() => {
  if (Date.now() - live.heard > 40000) listen();
}, 5000);

document.addEventListener('visibilitychange', () => {
  if (document.visibilityState === 'visible' && (!live.source || live.source.readyState === 2 || Date.now() - live.heard > 20000)) listen();
});

// ---- the name and the PIN -----------------------------------------------------------------

function ask(dialogId, inputId, formId, value) {
  return new Promise((resolve) => {
    const dialog = $(dialogId);
    const input = $(inputId);
    const form = $(formId);
    input.value = value;
    dialog.hidden = false;
    input.focus();
    const close = (answer) => {
      dialog.hidden = true;
      form.onsubmit = null;
      resolve(answer);
    };
    form.onsubmit = (e) => { e.preventDefault(); close(input.value.trim()); };
    dialog.onclick = (e) => { if (e.target === dialog) close(''); };
    const cancel = form.querySelector('.plain');
    if (cancel) cancel.onclick = () => close('');
  });
}

// At most 20 characters as the guest sees them: an emoji of a family or a flag is one.
function clipName(name) {
  const characters = typeof Intl === 'object' && Intl.Segmenter
    ? Array.from(new Intl.Segmenter(undefined, { granularity: 'grapheme' }).segment(name), (s) => s.segment)
    : Array.from(name);
  return characters.slice(0, 20).join('');
}

async function askName() {
  const name = await ask('nameDialog', 'nameInput', 'nameForm', me.name);
  if (!name) return false;
  me.name = clipName(name);
  store('karaoke.name', me.name);
  $('me').textContent = me.name;
  return true;
}

// ---- start --------------------------------------------------------------------------------

// What the jukebox says of itself, again after each reconnection (it may have restarted).
async function readInfo() {
  try {
    info = await query('info', { phone: me.phone });
    me.tag = info.tag;
    $('chartsTab').hidden = !info.charts;
    showQueue(queue);
  } catch (e) {
    toast(e.message, true);
  }
}

function showTab(name) {
  for (const b of document.querySelectorAll('#tabs button')) b.classList.toggle('on', b.dataset.tab === name);
  for (const s of document.querySelectorAll('.tab')) s.classList.toggle('on', s.id === name);
  if (name === 'charts') showCharts(charts.period);
}

async function start() {
  $('me').textContent = me.name || '設定名字';
  $('me').addEventListener('click', askName);
  $('q').addEventListener('input', searchSoon);
  $('more').addEventListener('click', () => runSearch(search.text, search.page + 1));
  for (const b of document.querySelectorAll('#tabs button')) b.addEventListener('click', () => showTab(b.dataset.tab));
  for (const b of document.querySelectorAll('#chartsPath button')) b.addEventListener('click', () => showCharts(Number(b.dataset.period)));
  $('skip').addEventListener('click', () => act('skip', { pin: me.pin }, () => '已卡歌'));
  $('pause').addEventListener('click', () => act('pause', { pin: me.pin }, (a) => (a.paused ? '已暫停' : '繼續播放')));
  $('unlock').addEventListener('click', async () => {
    me.pin = await ask('pinDialog', 'pinInput', 'pinForm', '');
    showQueue(queue);
  });
  await readInfo();
  kinds.show();
  singers.show();
  listen();
  if (!me.name) askName();
}

start();
