// Loads a page in headless Chromium through the DevTools protocol on a pipe (no network, no
// npm package) and prints, as JSON: the console errors and uncaught exceptions, what the page
// left in #carte's data-positions, and how many graticule labels it drew. With a fourth
// argument, also saves a screenshot there.
// Usage: node page_probe.js CHROMIUM URL PROFILE_DIR [SCREENSHOT.png]
'use strict';
const { spawn } = require('child_process');
const fs = require('fs');

const [chromium, url, profile, screenshot] = process.argv.slice(2);
const child = spawn(chromium, [
  '--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
  '--disable-background-networking', '--disable-component-update', '--disable-sync',
  '--hide-scrollbars', '--user-data-dir=' + profile, '--remote-debugging-pipe',
  '--window-size=1100,900', 'about:blank',
], { stdio: ['ignore', 'ignore', 'ignore', 'pipe', 'pipe'] });

const toBrowser = child.stdio[3];
const fromBrowser = child.stdio[4];
let nextId = 1;
const pending = new Map();
const listeners = [];
let buffered = '';
fromBrowser.on('data', (chunk) => {
  buffered += chunk.toString('utf8');
  let end;
  while ((end = buffered.indexOf('\0')) >= 0) {
    const message = JSON.parse(buffered.slice(0, end));
    buffered = buffered.slice(end + 1);
    if (message.id && pending.has(message.id)) {
      pending.get(message.id)(message);
      pending.delete(message.id);
    } else {
      listeners.forEach((l) => l(message));
    }
  }
});

function send(method, params, sessionId) {
  const id = nextId++;
  toBrowser.write(JSON.stringify({ id, method, params: params || {}, sessionId }) + '\0');
  return new Promise((resolve, reject) => {
    pending.set(id, (m) => (m.error ? reject(new Error(method + ': ' + m.error.message))
                                    : resolve(m.result)));
  });
}

const errors = [];
const timer = setTimeout(() => finish({ error: 'timeout' }), 30000);

function finish(result) {
  clearTimeout(timer);
  process.stdout.write(JSON.stringify(result) + '\n');
  // The profile folder is free once Chromium has gone.
  child.on('exit', () => process.exit(0));
  child.kill();
}

(async () => {
  const { targetId } = await send('Target.createTarget', { url: 'about:blank' });
  const { sessionId } = await send('Target.attachToTarget', { targetId, flatten: true });
  let loaded;
  const loadedPromise = new Promise((resolve) => { loaded = resolve; });
  listeners.push((m) => {
    if (m.sessionId !== sessionId) {
      return;
    }
    if (m.method === 'Runtime.exceptionThrown') {
      errors.push('exception: ' + JSON.stringify(m.params.exceptionDetails));
    } else if (m.method === 'Runtime.consoleAPICalled' &&
               (m.params.type === 'error' || m.params.type === 'warning' ||
                m.params.type === 'assert')) {
      errors.push('console.' + m.params.type + ': ' + JSON.stringify(m.params.args));
    } else if (m.method === 'Log.entryAdded' &&
               (m.params.entry.level === 'error' || m.params.entry.level === 'warning')) {
      errors.push('log: ' + m.params.entry.text + ' ' + (m.params.entry.url || ''));
    } else if (m.method === 'Page.loadEventFired') {
      loaded();
    }
  });
  await send('Runtime.enable', {}, sessionId);
  await send('Log.enable', {}, sessionId);
  await send('Page.enable', {}, sessionId);
  await send('Page.navigate', { url }, sessionId);
  await loadedPromise;
  // Leaves the image time to decode and the renderer time to lay out.
  await new Promise((resolve) => setTimeout(resolve, 1000));
  const evaluate = async (expression) =>
    (await send('Runtime.evaluate', { expression, returnByValue: true }, sessionId)).result.value;
  const positions = await evaluate(
    "(document.getElementById('carte') || document.body).getAttribute('data-positions')");
  const graticule = await evaluate("document.querySelectorAll('.graticule-etiquette').length");
  const scale = await evaluate("document.querySelectorAll('.leaflet-control-scale-line').length");
  const legend = await evaluate(
    "Array.from(document.querySelectorAll('.legende div')).map(d => d.textContent)");
  const tiles = await evaluate("document.querySelectorAll('.leaflet-tile').length");
  if (screenshot) {
    const shot = await send('Page.captureScreenshot', { format: 'png' }, sessionId);
    fs.writeFileSync(screenshot, Buffer.from(shot.data, 'base64'));
  }
  finish({ errors, positions: positions ? JSON.parse(positions) : null, graticule, scale,
           legend, tiles });
})().catch((e) => finish({ error: String(e), errors }));
