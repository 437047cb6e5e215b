// Opens the preview pages that `modulegen --preview` writes in headless Chromium,
// whose default encoding is a Western one, on a clock the check moves itself,
// and checks the layout, the notice, the outlined widgets, the carousels and
// the countdowns, and that the page needs no network.
//
// usage: node preview_check.js PATH/TO/modulegen
'use strict';

const fs = require('fs');
const http = require('http');
const os = require('os');
const path = require('path');
const { chromium } = require('playwright-core');
const D = require('./designs');
const L = require('./module_layout');

const checks = new L.Checks();
const check = checks.check.bind(checks);

const VIEWPORT = { width: 2000, height: 800 };
const TIME_ZONE = 'Asia/Shanghai';
// The countdown's end "2030-11-11 00:00:00" in the shop's time zone.
const COUNTDOWN_END = Date.UTC(2030, 10, 10, 16, 0, 0);
const SERVICE_KINDS = ['收藏', '分享', '二维码', '购物车', '喜欢', '关注', '客服', '旺旺群', '搜索', '视频', 'flash'];

function carouselSettings(values) {
  return Object.entries(values).reduce(
    (text, [key, value]) => text.replace(new RegExp(`^${key}=.*$`, 'm'), `${key}=${value}`),
    D.CAROUSEL_SETTINGS);
}

// The design of a variant with some cells of the first component of a kind changed.
function designWith(variant, kind, cells) {
  const design = D.designRows(variant);
  Object.assign(design.rows.find((row) => row.备注 === kind), cells);
  return design;
}

// The carousel as the visitor sees it: the slide under the middle of its box,
// the navigation item carrying the active class and the strip's offset.
function carouselState() {
  const widget = document.querySelector('[data-widget-type="Carousel"]');
  const content = widget.querySelector('.ma_content_i');
  const r = widget.querySelector('.ma_box').getBoundingClientRect();
  const hit = document.elementFromPoint(r.left + r.width / 2, r.top + r.height / 2);
  const active = Array.from(widget.querySelectorAll('.ma_i > li')).map((li) => li.classList.contains('selected'));
  return {
    shown: Array.from(content.children).findIndex((slide) => slide.contains(hit)),
    active: active.indexOf(true),
    activeCount: active.filter(Boolean).length,
    offset: [content.offsetLeft, content.offsetTop],
  };
}

// The visible countdown units and whether the end block shows instead.
function countdownState() {
  const widget = document.querySelector('[data-widget-type="Countdown"]');
  const visible = (e) => e.getClientRects().length > 0;
  const units = {};
  ['d', 'h', 'm', 's'].forEach((unit) => {
    const e = widget.querySelector(`.ks-${unit}`);
    if (visible(e))
      units[unit] = e.textContent;
  });
  return { units, ended: visible(widget.querySelector('.time-e')) && !visible(widget.querySelector('.time-run')) };
}

class Browser {
  constructor(work, baseUrl) {
    this.work = work;
    this.baseUrl = baseUrl;
  }

  async launch() {
    // The profile's default encoding is a Western one, as on many shop owners' machines.
    const profile = path.join(this.work, 'profile');
    fs.mkdirSync(path.join(profile, 'Default'), { recursive: true });
    fs.writeFileSync(path.join(profile, 'Default', 'Preferences'),
      JSON.stringify({ intl: { charset_default: 'windows-1252' } }));
    this.context = await chromium.launchPersistentContext(profile, {
      executablePath: L.CHROMIUM, headless: true, args: L.CHROMIUM_FLAGS, viewport: VIEWPORT,
      timezoneId: TIME_ZONE,
    });
    this.blocked = 0;
    await this.context.route('**/*', (route) => {
      const url = route.request().url();
      if (url.startsWith(this.baseUrl + '/') || url.startsWith('file:'))
        return route.continue();
      ++this.blocked;
      return route.abort();
    });
  }

  // A fresh page on a paused clock at `time`, so that nothing runs unless the check moves it.
  async open(url, time = Date.UTC(2026, 0, 1), { preview = true } = {}) {
    const page = await this.context.newPage();
    await page.clock.install({ time: time - 1000 });
    await page.clock.pauseAt(time);
    await page.goto(url);
    if (preview)
      check(await page.evaluate(() => document.documentElement.getAttribute('data-plumbrook-widgets')) === 'ready',
            `${url}: the widget script ran`);
    return page;
  }

  async close() {
    await this.context.close();
  }
}

async function checkPage(browser, url, variant) {
  const where = `preview ${variant.name}`;
  const page = await browser.open(url);
  const m = await L.measureModule(page, '.plumbrook-column');
  check(JSON.stringify(m.holderChildren) === JSON.stringify(['ZozIre']),
        `${where}: the column holds the closed module alone, got ${JSON.stringify(m.holderChildren)}`);
  L.checkLayout(checks, m, variant, where);

  // The shop's content column, centred on a page as wide as the module needs.
  const standard = variant.edition === 0 ? 990 : 950;
  const edition = variant.edition === 0 ? '天猫' : '集市';
  const pageBox = await page.evaluate(() => {
    const r = document.querySelector('.plumbrook-page').getBoundingClientRect();
    return { x: r.left, w: r.width };
  });
  check(m.third && L.near(m.third.x + standard / 2, VIEWPORT.width / 2),
        `${where}: the ${standard}-pixel column is centred, module at ${m.third && m.third.x}`);
  check(L.near(pageBox.w, Math.max(standard, variant.width)) && L.near(pageBox.x * 2 + pageBox.w, VIEWPORT.width),
        `${where}: the page is ${Math.max(standard, variant.width)} wide and centred, got ${JSON.stringify(pageBox)}`);
  const notice = await page.evaluate(() => {
    const e = document.querySelector('.plumbrook-notice');
    return e && { text: e.textContent, bottom: e.getBoundingClientRect().bottom, inModule: !!e.closest('.ZozIre') };
  });
  check(notice && notice.text.includes('本地预览') && notice.text.includes(`${edition}版`)
        && notice.text.includes(`${standard} 像素`) && !notice.inModule && m.third && notice.bottom <= m.third.y,
        `${where}: the notice above the module names the preview, ${edition} and ${standard}: ${JSON.stringify(notice)}`);

  // The widgets only the shop serves are outlined and named; the others are left as they are.
  L.PLACED.forEach((component, i) => {
    const got = m.components[i];
    const service = SERVICE_KINDS.includes(component.kind);
    check(got && got.outlined === service && (!service || (got.kind === component.kind && got.title === component.kind)),
          `${where}: ${component.kind} #${i + 1} ${service ? 'outlined and named' : 'not outlined'}, got ${JSON.stringify(got)}`);
  });

  // Autoplay: the second slide 7 s after loading, not before 5 s.
  check((await page.evaluate(carouselState)).shown === 0, `${where}: the carousel starts on its first slide`);
  await page.clock.runFor(4900);
  check((await page.evaluate(carouselState)).shown === 0, `${where}: still the first slide before 5 s`);
  await page.clock.runFor(2100);
  const later = await page.evaluate(carouselState);
  check(later.shown === 1 && later.active === 1 && later.activeCount === 1,
        `${where}: autoplay shows the second slide 7 s after loading: ${JSON.stringify(later)}`);

  // The pointer resting on the carousel holds it; leaving it lets it go on.
  await page.hover('.ma_box');
  await page.clock.runFor(6000);
  const held = await page.evaluate(carouselState);
  await page.mouse.move(0, 0);
  await page.clock.runFor(5600);
  const resumed = await page.evaluate(carouselState);
  check(held.shown === 1 && resumed.shown === 2,
        `${where}: hovering holds the carousel, leaving resumes it: ${held.shown}, then ${resumed.shown}`);

  // Hovering shows the zoom kind's popup and the swap kind's second picture.
  const zoomClass = await page.evaluate(() => document.querySelector('img[class^="Kai_"]').className);
  await page.hover(`.${zoomClass}`);
  check(await page.evaluate(() => getComputedStyle(document.querySelector('[data-widget-type="Popup"]')).display) === 'block',
        `${where}: hovering the zoom picture opens its popup`);
  await page.hover('.footer-more');
  check(await page.evaluate(() => getComputedStyle(document.querySelector('.footer-more-panel')).display) === 'block',
        `${where}: hovering the swap picture shows its second picture`);
  await page.close();
}

// Buttons and navigation items switch slides and move the active class, whatever the effect.
async function checkCarouselControls(browser, url, effect, easing) {
  const where = `carousel ${effect} ${easing}`;
  const page = await browser.open(url);
  const expect = async (shown, what) => {
    await page.clock.runFor(1000);
    const state = await page.evaluate(carouselState);
    check(state.shown === shown && state.active === shown && state.activeCount === 1,
          `${where}: ${what} shows slide ${shown}, got ${JSON.stringify(state)}`);
    return state;
  };
  const start = await expect(0, 'loading');
  await page.clock.runFor(7000);
  await expect(0, 'waiting without autoplay');

  await page.click('.next_i');
  if (effect === 'scrollx' || effect === 'scrolly') {
    await page.clock.runFor(100);
    const moving = await page.evaluate(carouselState);
    check(JSON.stringify(moving.offset) !== JSON.stringify(start.offset),
          `${where}: the strip moves during the transition, at ${JSON.stringify(moving.offset)}`);
  }
  await expect(1, 'next');
  await page.click('.next_i');
  await expect(2, 'next again');
  await page.click('.next_i');
  await expect(0, 'next after the last');
  await page.click('.prev_i');
  await expect(2, 'previous before the first');
  await page.locator('.ma_i > li').nth(1).dispatchEvent('click');
  await expect(1, 'navigation item 1');
  await page.locator('.ma_i > li').nth(0).dispatchEvent('click');
  await expect(0, 'navigation item 0');
  await page.close();
}

// A carousel whose settings file is gone stands as its markup draws it, and says why.
async function checkUnreadableCarousel(browser, url) {
  const page = await browser.open(url);
  const before = await page.evaluate(carouselState);
  await page.clock.runFor(7000);
  const got = await page.evaluate(() => {
    const outer = document.querySelector('[data-widget-type="Carousel"]').parentElement;
    return { title: outer.title, outlined: outer.classList.contains('plumbrook-service') };
  });
  const state = await page.evaluate(carouselState);
  check(got.outlined && got.title === '轮播：设置无法读取' && JSON.stringify(state) === JSON.stringify(before),
        `a carousel without settings stands still, outlined and named: ${JSON.stringify(got)}, ${JSON.stringify(state)}`);
  await page.close();
}

async function checkCountdownEnd(browser, url) {
  const page = await browser.open(url, COUNTDOWN_END - 5000);
  const seen = [];
  for (let i = 0; i < 5; ++i) {
    const state = await page.evaluate(countdownState);
    seen.push(state.ended ? 'ended' : state.units.s);
    await page.clock.runFor(1000);
  }
  const last = await page.evaluate(countdownState);
  check(JSON.stringify(seen) === JSON.stringify(['5', '4', '3', '2', '1']) && last.ended,
        `countdown ending in 5 s shows 5, 4, 3, 2, 1 then its end: ${JSON.stringify(seen)}, ended ${last.ended}`);
  await page.close();
}

// 2 days 3 hours 4 minutes 5 seconds left, in each format of the countdown.
const LEFT = ((2 * 24 + 3) * 60 + 4) * 60 + 5;
const FORMATS = [
  { format: '0', units: { d: '2', h: '3', m: '4', s: '5' } },
  { format: '1', units: { h: '51', m: '4', s: '5' } },
  { format: '2', units: { m: '3064', s: '5' } },
  { format: '3', units: { d: '3' } },
];

async function checkCountdownFormat(browser, url, { format, units }) {
  const page = await browser.open(url, COUNTDOWN_END - LEFT * 1000);
  const state = await page.evaluate(countdownState);
  check(JSON.stringify(state.units) === JSON.stringify(units) && !state.ended,
        `countdown format ${format} shows ${JSON.stringify(units)}, got ${JSON.stringify(state)}`);
  await page.clock.runFor(1000);
  const next = await page.evaluate(countdownState);
  check(next.units.s === undefined || next.units.s === '4',
        `countdown format ${format} counts a second down, got ${JSON.stringify(next)}`);
  await page.close();
}

// Chinese text reads as Chinese although the browser's default is Western.
async function checkEncoding(browser, url, charset, text) {
  const page = await browser.open(url);
  const got = await page.evaluate(() => ({
    charset: document.characterSet,
    notice: document.querySelector('.plumbrook-notice').textContent,
    text: Array.from(document.querySelectorAll('.ZozIre span')).map((e) => e.textContent).join('|'),
    share: document.querySelector('[data-sharebtn]').getAttribute('data-sharebtn'),
  }));
  check(got.charset.toLowerCase() === charset && got.notice.startsWith('本地预览') && got.text.includes(text)
        && got.share.includes('感觉很不错哟，给大家分享一下！'),
        `${charset} page reads as Chinese: ${JSON.stringify(got)}`);
  await page.close();
}

async function checkDefaultEncoding(browser, url) {
  const page = await browser.open(url, undefined, { preview: false });
  const charset = await page.evaluate(() => document.characterSet);
  check(charset.toLowerCase() === 'windows-1252', `an undeclared page reads as the Western default, got ${charset}`);
  await page.close();
}

// The preview file opened from disk with networking off: its stylesheet and
// script are its own, so it lays out and runs.
async function checkOffline(browser, file) {
  await browser.context.setOffline(true);
  const page = await browser.context.newPage();
  const requests = [];
  page.on('request', (request) => requests.push(request.resourceType()));
  await page.clock.install({ time: Date.UTC(2026, 0, 1) });
  await page.clock.pauseAt(Date.UTC(2026, 0, 1, 0, 0, 1));
  await page.goto(`file://${file}`);
  const got = await page.evaluate(() => ({
    ready: document.documentElement.getAttribute('data-plumbrook-widgets'),
    position: getComputedStyle(document.querySelector('.ZozIre > div')).position,
  }));
  await page.click('.next_i');
  await page.clock.runFor(1000);
  const state = await page.evaluate(carouselState);
  const fetched = requests.filter((type) => !['document', 'image', 'media', 'object'].includes(type));
  check(got.ready === 'ready' && got.position === 'absolute' && state.shown === 1 && fetched.length === 0,
        `offline preview lays out and runs: ${JSON.stringify(got)}, slide ${state.shown}, fetched ${JSON.stringify(fetched)}`);
  await page.close();
  await browser.context.setOffline(false);
}

async function main() {
  const modulegen = process.argv[2];
  if (!modulegen) {
    console.error('usage: node preview_check.js PATH/TO/modulegen');
    process.exit(64);
  }
  const work = fs.mkdtempSync(path.join(os.tmpdir(), 'plumbrook-preview-'));
  const pages = {};
  let count = 0;
  const preview = (design, options = {}) => {
    const name = `page${++count}.html`;
    const dir = path.join(work, name + '.d');
    pages[name] = L.generate(modulegen, dir, design, { ...options, args: ['--preview'], encoding: 'buffer' });
    fs.writeFileSync(path.join(work, name), pages[name]);
    return name;
  };

  const variants = D.VARIANTS.map((variant) => ({ variant, file: preview(D.designRows(variant)) }));
  const standard = D.VARIANTS[1];
  const effects = [['scrollx', 'easeBoth'], ['scrolly', 'elasticOut'], ['fade', 'bounceOut'], ['none', 'easeNone']]
    .map(([effect, easing]) => ({
      effect, easing,
      file: preview(D.designRows(standard), { settings: carouselSettings({ z_f: '1', d_g2: effect, q_g2: easing }) }),
    }));
  const formats = FORMATS.map((f) => ({ ...f, file: preview(designWith(standard, '倒计时', { 背景色: f.format })) }));
  const unreadable = preview(D.designRows(standard), { settings: '' });
  const beyondGbk = preview(designWith(D.VARIANTS[0], '文字', { 图片: '新品上市\u{1F525}' }));
  pages['undeclared.html'] = Buffer.from('<!DOCTYPE html><title>plain</title><p>plain text</p>');

  // A loopback server holds the pages and names no charset: the page must declare its own.
  const server = http.createServer((req, res) => {
    const page = pages[decodeURIComponent(req.url.slice(1))];
    res.writeHead(page ? 200 : 404, { 'Content-Type': 'text/html' });
    res.end(page || '');
  });
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  const baseUrl = `http://127.0.0.1:${server.address().port}`;
  const url = (name) => `${baseUrl}/${name}`;

  const browser = new Browser(work, baseUrl);
  await browser.launch();
  try {
    for (const { variant, file } of variants)
      await checkPage(browser, url(file), variant);
    for (const { effect, easing, file } of effects)
      await checkCarouselControls(browser, url(file), effect, easing);
    await checkUnreadableCarousel(browser, url(unreadable));
    await checkCountdownEnd(browser, url(formats[0].file));
    for (const format of formats)
      await checkCountdownFormat(browser, url(format.file), format);
    await checkDefaultEncoding(browser, url('undeclared.html'));
    await checkEncoding(browser, url(variants[1].file), 'gbk', '文字内容');
    await checkEncoding(browser, url(beyondGbk), 'gb18030', '新品上市\u{1F525}');
    await checkOffline(browser, path.join(work, variants[0].file));
  } finally {
    await browser.close();
    server.close();
    fs.rmSync(work, { recursive: true, force: true });
  }
  console.log(`${browser.blocked} outside requests blocked`);
  checks.finish();
}

main().catch((error) => checks.finish(error));
