// What the layout check and the preview check share: generating a design's
// page with modulegen, measuring the module in the browser, and the checks on
// where every box lands.
'use strict';

const { execFileSync } = require('child_process');
const fs = require('fs');
const path = require('path');
const D = require('./designs');

const RESOURCES = path.join(__dirname, '..', '..', 'resources', 'preview');
const CHROMIUM = '/usr/bin/chromium';
const CHROMIUM_FLAGS = ['--headless', '--no-sandbox', '--disable-gpu', '--no-first-run',
  '--disable-background-networking', '--disable-component-update', '--disable-sync'];

// Counts the checks; a failed one is reported at once.
class Checks {
  constructor() {
    this.passed = 0;
    this.failed = 0;
  }

  check(ok, what) {
    if (ok) {
      ++this.passed;
    } else {
      ++this.failed;
      console.log(`FAIL ${what}`);
    }
    return ok;
  }

  finish(error) {
    if (error) {
      console.error(error);
      ++this.failed;
    }
    console.log(`${this.passed} passed, ${this.failed} failed`);
    process.exit(this.failed === 0 ? 0 : 1);
  }
}

function resource(name) {
  return fs.readFileSync(path.join(RESOURCES, name), 'utf8');
}

// Runs modulegen on a design in `dir`, with the carousel settings file beside it.
function generate(modulegen, dir, design, { settings = D.CAROUSEL_SETTINGS, args = [], encoding = 'utf8' } = {}) {
  fs.mkdirSync(path.join(dir, 'data', 'code'), { recursive: true });
  fs.writeFileSync(path.join(dir, 'data', 'code', `Carousel${D.CAROUSEL_ROW}.ini`), settings);
  const designPath = path.join(dir, 'design.json');
  fs.writeFileSync(designPath, JSON.stringify(design));
  return execFileSync(modulegen, [designPath, '--program-dir', dir, ...args],
    { encoding: encoding === 'buffer' ? null : encoding });
}

// Everything the checks need, measured in the page; `container` holds the module.
function measure(container) {
  const holder = document.querySelector(container);
  const third = holder && holder.querySelector(':scope > .ZozIre > div > div');
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
    holderChildren: holder ? Array.from(holder.children).map((e) => e.className || e.id) : [],
    third: third ? rect(third) : null,
    modulesInThird: third ? third.querySelectorAll('.ZozIre').length : 0,
    anchors: children.filter(isAnchor).map((e) => e.querySelector('a[name]').name),
    layers: children.filter(isLayer).map(rect),
    components: components.map((e) => ({
      box: rect(e), zIndex: e.style.zIndex, kind: e.getAttribute('data-plumbrook-kind'),
      outlined: e.classList.contains('plumbrook-service') && getComputedStyle(e).outlineStyle === 'dashed',
      title: e.title,
    })),
    arrows: ['prev_i', 'next_i'].map((cls) => {
      const arrow = third && third.querySelector(`.${cls}`);
      return arrow ? { box: rect(arrow), display: getComputedStyle(arrow).display } : null;
    }),
    hitAt: (points) => points.map(([x, y]) => componentOf(document.elementFromPoint(origin.x + x, origin.y + y))),
  };
}

const HITS = [[100, 60], [60, 40], [20, 20], [300, 60], [240, 20]];

async function measureModule(page, container) {
  return page.evaluate(({ source, holder, points }) => {
    // eslint-disable-next-line no-new-func
    const run = new Function(`return (${source});`)();
    const result = run(holder);
    return { ...result, hitAt: undefined, hits: result.hitAt(points) };
  }, { source: measure.toString(), holder: container, points: HITS });
}

// The expected box of a component: its geometry, squared for the kinds that
// use their width for both sides.
function expectedBox(component) {
  const [left, top, width, height] = component.box;
  const square = component.kind === '二维码' || component.kind === '放大';
  return { x: left, y: top, w: width, h: square ? width : height };
}

const near = (a, b) => Math.abs(a - b) < 0.5;

// The components with markup of their own (the arrow rows have none), in row order.
const PLACED = D.COMPONENTS.filter((c) => D.Z_INDEX[c.kind] !== undefined);

// Where every box of the module lands, relative to the module's content element.
function checkLayout(checks, m, variant, where) {
  const check = checks.check.bind(checks);
  check(m.third !== null, `${where}: the module has a third wrapper element`);
  if (!m.third)
    return;
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

  check(m.components.length === PLACED.length,
        `${where}: ${PLACED.length} components inside the module, found ${m.components.length}`);
  PLACED.forEach((component, i) => {
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
  const index = (kind, nth = 0) => PLACED.map((c, i) => (c.kind === kind ? i : -1)).filter((i) => i >= 0)[nth];
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

module.exports = {
  CHROMIUM, CHROMIUM_FLAGS, PLACED, Checks, resource, generate, measureModule, checkLayout, near,
};
