// Lays out the module code that modulegen produces in headless Chromium, inside a
// stand-in for the marketplace's page, and checks where every box lands.
//
// usage: node layout_check.js PATH/TO/modulegen
'use strict';

const { execFileSync } = require('child_process');
const fs = require('fs');
const http = require('http');
const os = require('os');
const path = require('path');
const { chromium } = require('playwright-core');
const D = require('./designs');

// The marketplace's own stylesheet positions its layer classes absolutely; the
// zoom and search kinds rely on the first two classes alone.
const STAND_IN_CSS = `
.most-footer.footer-more-trigger, .sn-simple-logo { position: absolute; }
body { margin: 8px; font-size: 12px; }
`;
const PROBE_ID = 'after-module';

const CHROMIUM_FLAGS = ['--headless', '--no-sandbox', '--disable-gpu', '--no-first-run',
  '--disable-background-networking', '--disable-component-update', '--disable-sync'];

let passed = 0;
let failed = 0;
function check(ok, what) {
  if (ok) {
    ++passed;
  } else {
    ++failed;
    console.log(`FAIL ${what}`);
  }
}

function generate(modulegen, dir, variant) {
  fs.mkdirSync(path.join(dir, 'data', 'code'), { recursive: true });
  fs.writeFileSync(path.join(dir, 'data', 'code', `Carousel${D.CAROUSEL_ROW}.ini`), D.CAROUSEL_SETTINGS);
  const designPath = path.join(dir, 'design.json');
  fs.writeFileSync(designPath, JSON.stringify(D.designRows(variant)));
  return execFileSync(modulegen, [designPath, '--program-dir', dir], { encoding: 'utf8' });
}

function harnessPage(code) {
  return `<!DOCTYPE html><html><head><meta charset="utf-8"><style>${STAND_IN_CSS}</style></head>` +
    `<body>${code}<div id="${PROBE_ID}"></div></body></html>`;
}

// Everything the checks need, measured in the page.
function measure(probeId) {
  const third = document.querySelector('body > .ZozIre > div > div');
  const rect = (e) => {
    const r = e.getBoundingClientRect();
    return { x: r.left, y: r.top, w: r.width, h: r.height };
  };
  const children = third ? Array.from(third.children) : [];
  const isLayer = (e) => (e.getAttribute('style') || '').includes('background-attachment');
  const isAnchor = (e) => e.querySelector('a[name]') !== null && !isLayer(e);
  const components = children.filter((e) => !isLayer(e) && !isAnchor(e));
  const componentOf = (e) => {
    while (e && e.parentElement !== third)
      e = e.parentElement;
    return e ? components.indexOf(e) : -1;
  };
  const origin = third ? rect(third) : { x: 0, y: 0 };
  return {
    bodyChildren: Array.from(document.body.children).map((e) => e.className || e.id),
    probeParent: document.getElementById(probeId).parentElement.tagName,
    third: third ? rect(third) : null,
    modulesInThird: third ? third.querySelectorAll('.ZozIre').length : 0,
    anchors: children.filter(isAnchor).map((e) => e.querySelector('a[name]').name),
    layers: children.filter(isLayer).map(rect),
    components: components.map((e) => ({ box: rect(e), zIndex: e.style.zIndex })),
    arrows: ['prev_i', 'next_i'].map((cls) => {
      const arrow = third && third.querySelector(`.${cls}`);
      return arrow ? { box: rect(arrow), display: getComputedStyle(arrow).display } : null;
    }),
    hitAt: (points) => points.map(([x, y]) => componentOf(document.elementFromPoint(origin.x + x, origin.y + y))),
  };
}

// The expected box of a component: its geometry, squared for the kinds that
// use their width for both sides.
function expectedBox(component) {
  const [left, top, width, height] = component.box;
  const square = component.kind === '二维码' || component.kind === '放大';
  return { x: left, y: top, w: width, h: square ? width : height };
}

const near = (a, b) => Math.abs(a - b) < 0.5;

async function checkVariant(page, baseUrl, variant) {
  const where = variant.name;
  await page.goto(`${baseUrl}/${encodeURIComponent(variant.file)}`);
  const hits = [[100, 60], [60, 40], [20, 20], [300, 60], [240, 20]];
  const m = await evaluateMeasure(page, hits);

  // Balance: the module is the only element before the probe, and the probe
  // follows it instead of falling inside a wrapper left open.
  check(m.third !== null, `${where}: the module has a third wrapper element`);
  if (!m.third)
    return;
  check(m.probeParent === 'BODY' && m.bodyChildren.length === 2 && m.bodyChildren[0] === 'ZozIre'
        && m.bodyChildren[1] === PROBE_ID,
        `${where}: the closing text closes the module (body holds ${JSON.stringify(m.bodyChildren)})`);
  check(m.modulesInThird === 0, `${where}: no module inside the module`);
  check(JSON.stringify(m.anchors) === JSON.stringify(variant.anchor ? [variant.anchor] : []),
        `${where}: anchor block ${JSON.stringify(m.anchors)}`);

  // Background layer: the module's size, shifted by half the width beyond the standard page.
  const standard = variant.edition === 0 ? 990 : 950;
  const offset = variant.width > standard ? (variant.width - standard) / -2 : 0;
  check(m.layers.length === 1, `${where}: one background layer`);
  if (m.layers.length === 1) {
    const layer = m.layers[0];
    check(near(layer.x - m.third.x, offset) && near(layer.y - m.third.y, 0)
          && near(layer.w, variant.width) && near(layer.h, variant.height),
          `${where}: background layer at ${offset},0 ${variant.width}x${variant.height}, got ${JSON.stringify(layer)}`);
  }
  check(near(m.third.w, variant.width) && near(m.third.h, variant.height),
        `${where}: the third wrapper has the module's size`);

  // Every component (the arrow rows have no markup of their own) in row order.
  const placed = D.COMPONENTS.filter((c) => D.Z_INDEX[c.kind] !== undefined);
  check(m.components.length === placed.length,
        `${where}: ${placed.length} components inside the module, found ${m.components.length}`);
  placed.forEach((component, i) => {
    const got = m.components[i];
    if (!got)
      return;
    const want = expectedBox(component);
    const box = { x: got.box.x - m.third.x, y: got.box.y - m.third.y, w: got.box.w, h: got.box.h };
    check(near(box.x, want.x) && near(box.y, want.y) && near(box.w, want.w) && near(box.h, want.h),
          `${where}: ${component.kind} #${i + 1} at ${JSON.stringify(want)}, got ${JSON.stringify(box)}`);
    check(got.zIndex === String(D.Z_INDEX[component.kind]),
          `${where}: ${component.kind} #${i + 1} z-index ${D.Z_INDEX[component.kind]}, got ${got.zIndex}`);
  });

  // Stacking: share over favourite over image; the later of two equal z-indexes on top.
  const index = (kind, nth = 0) => placed.map((c, i) => (c.kind === kind ? i : -1)).filter((i) => i >= 0)[nth];
  const wantHits = [index('分享'), index('收藏'), index('图片'), index('热点'), index('图片', 1)];
  const names = ['share over favourite and image', 'favourite over image', 'image alone',
    'hotspot (later row) over image', 'second image alone'];
  names.forEach((name, i) => check(m.hits[i] === wantHits[i],
    `${where}: ${name}: hit component ${m.hits[i]}, expected ${wantHits[i]}`));

  // Carousel arrows: at the arrow rows' positions, both of the left arrow's size.
  const carousel = D.COMPONENTS[D.CAROUSEL_ROW - 1];
  const leftArrow = D.COMPONENTS[D.CAROUSEL_ROW];
  const rightArrow = D.COMPONENTS[D.CAROUSEL_ROW + 1];
  [leftArrow, rightArrow].forEach((arrow, i) => {
    const got = m.arrows[i];
    const want = { x: arrow.box[0], y: arrow.box[1], w: leftArrow.box[2], h: leftArrow.box[3] };
    const box = got && { x: got.box.x - m.third.x, y: got.box.y - m.third.y, w: got.box.w, h: got.box.h };
    check(got && got.display === 'block' && near(box.x, want.x) && near(box.y, want.y)
          && near(box.w, want.w) && near(box.h, want.h),
          `${where}: ${arrow.kind} of the carousel at ${carousel.box[0]},${carousel.box[1]} lies at ${JSON.stringify(want)}, got ${JSON.stringify(box)}`);
  });
}

async function evaluateMeasure(page, hits) {
  return page.evaluate(({ source, probe, points }) => {
    // eslint-disable-next-line no-new-func
    const run = new Function(`return (${source});`)();
    const result = run(probe);
    return { ...result, hitAt: undefined, hits: result.hitAt(points) };
  }, { source: measure.toString(), probe: PROBE_ID, points: hits });
}

async function main() {
  const modulegen = process.argv[2];
  if (!modulegen) {
    console.error('usage: node layout_check.js PATH/TO/modulegen');
    process.exit(64);
  }
  const work = fs.mkdtempSync(path.join(os.tmpdir(), 'plumbrook-browser-'));
  const pages = {};
  for (const variant of D.VARIANTS) {
    variant.file = `${variant.name.replace(/[^A-Za-z0-9]+/g, '_')}.html`;
    const dir = path.join(work, variant.file + '.d');
    pages[variant.file] = harnessPage(generate(modulegen, dir, variant));
  }

  // A loopback server holds the harness pages; nothing else may be fetched.
  const server = http.createServer((req, res) => {
    const page = pages[decodeURIComponent(req.url.slice(1))];
    res.writeHead(page ? 200 : 404, { 'Content-Type': 'text/html; charset=utf-8' });
    res.end(page || '');
  });
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  const baseUrl = `http://127.0.0.1:${server.address().port}`;

  const context = await chromium.launchPersistentContext(path.join(work, 'profile'), {
    executablePath: '/usr/bin/chromium', headless: true, args: CHROMIUM_FLAGS,
    viewport: { width: 2000, height: 800 },
  });
  let blocked = 0;
  try {
    await context.route('**/*', (route) => {
      if (route.request().url().startsWith(baseUrl + '/'))
        return route.continue();
      ++blocked;
      return route.abort();
    });
    const page = context.pages()[0] || await context.newPage();
    for (const variant of D.VARIANTS)
      await checkVariant(page, baseUrl, variant);
  } finally {
    await context.close();
    server.close();
    fs.rmSync(work, { recursive: true, force: true });
  }
  console.log(`${blocked} outside requests blocked`);
  console.log(`${passed} passed, ${failed} failed`);
  process.exit(failed === 0 ? 0 : 1);
}

main().catch((error) => {
  console.error(error);
  console.log(`${passed} passed, ${failed + 1} failed`);
  process.exit(1);
});
