// Lays out the module code that modulegen produces in headless Chromium, inside a
// stand-in for the marketplace's page, and checks where every box lands.
//
// usage: node layout_check.js PATH/TO/modulegen
'use strict';

const fs = require('fs');
const http = require('http');
const os = require('os');
const path = require('path');
const { chromium } = require('playwright-core');
const D = require('./designs');
const L = require('./module_layout');

const PROBE_ID = 'after-module';
const checks = new L.Checks();

// The marketplace's layout rules, as the preview page carries them too.
function harnessPage(code) {
  return `<!DOCTYPE html><html><head><meta charset="utf-8"><style>${L.resource('marketplace.css')}</style></head>` +
    `<body>${code}<div id="${PROBE_ID}"></div></body></html>`;
}

async function checkVariant(page, baseUrl, variant) {
  const where = variant.name;
  await page.goto(`${baseUrl}/${encodeURIComponent(variant.file)}`);
  const m = await L.measureModule(page, 'body');
  // Balance: the module is the only element before the probe, and the probe
  // follows it instead of falling inside a wrapper left open.
  checks.check(JSON.stringify(m.holderChildren) === JSON.stringify(['ZozIre', PROBE_ID]),
               `${where}: the closing text closes the module (body holds ${JSON.stringify(m.holderChildren)})`);
  L.checkLayout(checks, m, variant, where);
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
    pages[variant.file] = harnessPage(L.generate(modulegen, dir, D.designRows(variant)));
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
    executablePath: L.CHROMIUM, headless: true, args: L.CHROMIUM_FLAGS,
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
  checks.finish();
}

main().catch((error) => checks.finish(error));
