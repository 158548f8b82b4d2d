// Drives the browser build in the browser ORANGEFUNK_WEB_BROWSER names: chromium (the
// default; headless) or firefox (Firefox ESR in a window: it needs an X display, as
// scripts/helpers/with-display.sh gives), through puppeteer-core (found through NODE_PATH). Where
// the two differ, the page does the same in both, and so does this driver: sound before a
// gesture is allowed by the browser's own setting (an argument of Chromium, a preference
// of Firefox), full screen and downloads go through the same calls. Serves the page's
// folder on 127.0.0.1 and
//   node page.cjs SITE frames OUTDIR FROM/ORDER:ROW... [jump/ORDER:ROW]
//       opens ?from=FROM&at=ORDER:ROW for each, waits until the page holds that frame and
//       writes the canvas as OUTDIR/web-OO-RRR.png; "jump" opens ?at=ORDER:ROW from the
//       start, clicks the seek bar at ORDER's start and writes OUTDIR/web-jump-OO-RRR.png;
//   node page.cjs SITE realtime
//       checks that a start the program refuses says why in the page before any Play,
//       then plays the last two orders with their sound and checks that the song position
//       moves on at the module's row rate while the audio clock runs, stands while the
//       audio clock is suspended and while the pause button holds the show, and that the
//       page offers to play again at the end;
//   node page.cjs SITE ui OUTDIR
//       under the autoplay policy of a normal browser, at 1280x800 and on a 390x844 phone
//       (touch, 3 device pixels a CSS pixel): the start screen, ?play asking for a click
//       to start the sound, the control bar's buttons (pause, a part's mark on the seek
//       bar, mute, full screen, and F out of it), Tab's overlay over the paused picture,
//       S's PNG download, Escape and playing again, the canvas's size (the show's 640x480,
//       or the device pixels with ?sharp); the start screen over the title's still, listing
//       the keys but on the touch screen; then, with WebGL turned off, the page saying why
//       it cannot play; writes screenshots OUTDIR/{start,bar,stopped}-WxH.png and
//       OUTDIR/nowebgl-1280x800.png;
//   node page.cjs SITE fps
//       measures, not a test: frames shown per second in a 1280x800 window in each part
//       (?play&from= its first order; after 2 s, 8 one-second counts of Module.framesShown):
//       prints the WebGL renderer, the median and the range per part, and the load average.
// Exits 1 with the reason (and the page's console) on any failure.
'use strict';
const fs = require('node:fs');
const http = require('node:http');
const path = require('node:path');
const puppeteer = require('puppeteer-core');

const kWidth = 640, kHeight = 480;
const kRowSeconds = 6 * 2.5 / 112;     // speed 6 at 112 beats per minute
const kRateTolerance = 0.2;            // share the row rate may be off by
const kBrowser = process.env.ORANGEFUNK_WEB_BROWSER || 'chromium';
const kTypes = {'.html': 'text/html', '.css': 'text/css', '.js': 'text/javascript', '.wasm': 'application/wasm',
                '.png': 'image/png'};

function serve(site) {
    const server = http.createServer((request, response) => {
        const name = decodeURIComponent(new URL(request.url, 'http://x').pathname);
        const file = path.join(site, name.endsWith('/') ? name + 'index.html' : name);
        fs.readFile(file, (error, data) => {
            if (error) return response.writeHead(404).end();
            response.writeHead(200, {'Content-Type': kTypes[path.extname(file)] || 'application/octet-stream'});
            response.end(data);
        });
    });
    return new Promise(resolve => server.listen(0, '127.0.0.1', () => resolve(server)));
}

const sleep = ms => new Promise(resolve => setTimeout(resolve, ms));

// Opens the page at query and collects its console; fails when it never reaches one of states.
async function open(browser, base, query, states, timeout, log) {
    const page = await browser.newPage();
    page.on('console', message => log.push(message.text()));
    page.on('pageerror', error => log.push('page error: ' + error.message));
    await page.goto(base + query);
    try {
        await page.waitForFunction(s => s.includes(document.body.dataset.state), {timeout, polling: 100}, states);
    } catch (error) {
        const state = await page.evaluate(() => document.body.dataset.state);
        throw new Error(`${query}: the page stayed "${state}" (${error.message})`);
    }
    return page;
}

// Song position (in rows from the song's start), audio clock and frames shown so far.
function sample(page) {
    return page.evaluate(() => {
        const [order, row] = document.body.dataset.position.split(':').map(Number);
        const rows = Module.song.rows;
        return {
            position: document.body.dataset.position,
            row: rows.slice(0, order).reduce((a, b) => a + b, 0) + row,
            audio: Module.SDL2.audioContext.currentTime,
            frames: Module.framesShown,
        };
    });
}

// Clicks (or taps) the element, first showing the control bar as a pointer's move or tap
// does; a seek bar's mark is pressed 2 pixels after it, inside the order it marks.
async function press(page, selector, touch) {
    const box = await (await page.$(selector)).boundingBox();
    if (!box) throw new Error(`${selector} is not shown`);
    const x = box.x + box.width / 2 + (selector.startsWith('.mark') ? 2 : 0), y = box.y + box.height / 2;
    const view = await (await page.$('#canvas')).boundingBox();
    if (touch) await page.touchscreen.tap(view.x + view.width / 2, view.y + 10);
    else await page.mouse.move(view.x + view.width / 2, view.y + view.height / 2);
    if (touch) await page.touchscreen.tap(x, y);
    else await page.mouse.click(x, y);
}

const state = page => page.evaluate(() => document.body.dataset.state);
// Waits until test(arg) holds in the page and returns its value; fails naming the wait and
// the page's state.
async function until(page, test, arg, timeout = 30000) {
    try {
        return await (await page.waitForFunction(test, {timeout, polling: 50}, arg)).jsonValue();
    } catch (error) {
        const data = await page.evaluate(() => JSON.stringify(document.body.dataset));
        throw new Error(`${error.message}: waited for ${test} at ${data}`);
    }
}

async function frames(browser, base, outDir, positions, log) {
    for (const item of positions) {
        const [from, at] = item.split('/');
        const jump = from === 'jump';
        const [o, r] = at.split(':').map(Number);
        const query = jump ? `?at=${at}` : `?from=${from}&at=${at}`;
        let page;
        if (jump) {
            page = await open(browser, base, query, ['playing'], 60000, log);
            await press(page, `.mark[data-order="${o}"]`, false);
        }
        page = page || await open(browser, base, query, ['frame'], 300000, log);
        await until(page, () => ['frame', 'stopped', 'ended', 'failed'].includes(document.body.dataset.state), null, 300000);
        if (await state(page) !== 'frame') throw new Error(`${query}: page ${await state(page)}`);
        const name = `web-${jump ? 'jump-' : ''}${String(o).padStart(2, '0')}-${String(r).padStart(3, '0')}.png`;
        // The state is set while the frame is still being drawn: let the browser show it
        // (two animation frames) before the screenshot.
        await page.evaluate(() => new Promise(done => requestAnimationFrame(() => requestAnimationFrame(done))));
        await page.screenshot({path: path.join(outDir, name), clip: {x: 0, y: 0, width: kWidth, height: kHeight}});
        await page.close();
    }
}

async function realtime(browser, base, log) {
    const refused = await open(browser, base, '?from=99', ['failed'], 60000, log);
    const reason = await refused.evaluate(() => document.getElementById('messages').textContent);
    console.log(`?from=99: ${reason}`);
    if (!reason.includes('--from: "99"')) throw new Error('the page does not say why it cannot play');
    await refused.close();

    const page = await open(browser, base, '?play&from=31', ['playing', 'sound'], 60000, log);
    // Firefox may hold a later tab's sound until a click, which the page then asks for.
    if (await state(page) === 'sound') await page.click('#play');
    await until(page, () => document.body.dataset.position);
    const a = await sample(page);
    await sleep(4000);
    const b = await sample(page);
    const rate = (b.row - a.row) * kRowSeconds / (b.audio - a.audio);
    console.log(`${a.position} to ${b.position} in ${(b.audio - a.audio).toFixed(2)} s of audio: ` +
                `${rate.toFixed(3)} of the module's row rate, ${((b.frames - a.frames) / 4).toFixed(1)} frames/s`);
    if (Math.abs(rate - 1) > kRateTolerance) throw new Error('the song position does not follow the audio clock');

    // Held by the audio clock's suspension, then by the pause button: the position stands
    // while frames are still drawn (and, paused, while the audio clock runs).
    for (const hold of ['suspended', 'paused']) {
        if (hold === 'suspended') await page.evaluate(() => Module.SDL2.audioContext.suspend());
        else await press(page, '#pause', false);
        await sleep(500);
        const c = await sample(page);
        await sleep(2000);
        const d = await sample(page);
        console.log(`${hold}: ${c.position} then ${d.position}, ${d.frames - c.frames} frames drawn, ` +
                    `${(d.audio - c.audio).toFixed(2)} s of audio`);
        if (d.position !== c.position || d.frames === c.frames || (hold === 'paused' && d.audio - c.audio < 1))
            throw new Error(`${hold}, the show should go on drawing at a standing position`);
        if (hold === 'suspended') await page.evaluate(() => Module.SDL2.audioContext.resume());
        else await press(page, '#pause', false);
        await sleep(1500);
        const e = await sample(page);
        console.log(`${hold}, then on: ${e.position}`);
        if (!(e.row > d.row)) throw new Error(`the song position did not move on after being ${hold}`);
    }

    await until(page, () => document.body.dataset.state === 'ended', null, 60000);
    const end = await page.evaluate(() => document.getElementById('status').textContent + ' ' +
                                          document.getElementById('play').textContent);
    console.log(`at the end: ${end}`);
    if (end !== 'The end. Play again') throw new Error('the page does not offer to play again at the end');
}

// Without WebGL the page says so at once, in the start screen, with what to try, and offers
// no Play; writes OUTDIR/nowebgl-1280x800.png.
async function noWebGL(browser, base, outDir, log) {
    const page = await browser.newPage();
    page.on('console', message => log.push(message.text()));
    await page.setViewport({width: 1280, height: 800});
    await page.goto(base);
    await until(page, () => document.body.dataset.state !== 'loading', null, 60000);
    const screen = await page.$eval('#screen', e => e.innerText);
    console.log(`without WebGL: ${await state(page)}: ${screen.replace(/\n+/g, ' | ')}`);
    await page.screenshot({path: path.join(outDir, 'nowebgl-1280x800.png')});
    if (await state(page) !== 'failed' || !screen.includes('no 3D graphics (WebGL)') ||
        !screen.includes('another browser') || !screen.includes('hardware acceleration') || /Play|Space/.test(screen))
        throw new Error('without WebGL the page does not say why it cannot play, or offers Play');
}

// The page's parts at a window size: start screen, control bar, stopping and playing again.
async function ui(browser, base, outDir, viewport, log) {
    const size = `${viewport.width}x${viewport.height}`, touch = Boolean(viewport.hasTouch);
    // Downloads are saved, without asking, into a folder of this run.
    const downloads = fs.mkdtempSync('/tmp/orangefunk-web-downloads-');
    const context = await browser.createBrowserContext({downloadBehavior: {policy: 'allow', downloadPath: downloads}});
    const page = await context.newPage();
    await page.setViewport(viewport);
    page.on('console', message => log.push(message.text()));
    page.on('pageerror', error => log.push('page error: ' + error.message));
    const shot = name => page.screenshot({path: path.join(outDir, `${name}-${size}.png`)});
    // Visible inside the window, at least 24 CSS pixels each way.
    const usable = selector => page.$eval(selector, (e, v) => {
        const r = e.getBoundingClientRect();
        return getComputedStyle(e).display !== 'none' && r.width >= 24 && r.height >= 24 && r.left >= 0 &&
               r.top >= 0 && r.right <= v.width && r.bottom <= v.height;
    }, {width: viewport.width, height: viewport.height});

    // ?play never stalls: the sound starts, or the page asks for the click it needs (the
    // driver's navigation may count as the user's gesture, or not).
    await page.goto(base + '?play');
    await until(page, () => ['sound', 'playing'].includes(document.body.dataset.state), null, 60000);
    const ask = await page.$eval('#play', e => document.body.dataset.state === 'sound' ? e.textContent : '');
    if (ask && ask !== 'Click to start the sound') throw new Error(`${size}: ?play without sound shows "${ask}"`);
    if (ask) await page.click('#play');
    await until(page, () => Module.SDL2.audioContext.state === 'running' && document.body.dataset.position);
    console.log(`${size} ?play: ${ask ? 'asked for a click, then played' : 'played'} with sound`);

    await page.goto(base);
    await until(page, () => document.body.dataset.state === 'ready', null, 60000);
    const start = await page.$eval('#screen', e => e.innerText);
    console.log(`${size} start screen: ${start.replace(/\n+/g, ' | ')}`);
    if (!/\b\d+:\d\d long, with sound/.test(start) || start.includes('Space pause') === touch || !await usable('#play'))
        throw new Error(`${size}: the start screen lacks the length or a usable Play, or lists the keys ` +
                        `${touch ? 'on a touch screen' : 'not at all'}: ` +
                        await page.$eval('#play', e => JSON.stringify(e.getBoundingClientRect())));
    // Behind it, the still of the title, drawn, over the whole 4:3 view.
    const still = await page.$eval('#still', e => [e.naturalWidth, e.getBoundingClientRect().width / e.getBoundingClientRect().height]);
    if (still[0] !== kWidth || Math.abs(still[1] - 4 / 3) > 0.01) throw new Error(`${size}: the title's still is ${still}`);
    await shot('start');
    if (touch) await page.tap('#play');
    else await page.click('#play');
    await until(page, () => document.body.dataset.position);
    const canvas = await page.$eval('#canvas', e => [e.width, e.height]);
    if (String(canvas) !== '640,480') throw new Error(`${size}: the canvas renders at ${canvas}, not 640x480`);
    if (!touch) {
        // S hands the frame to the browser as a PNG download, which it saves (Chromium and
        // Firefox each under a name of their own until it is complete).
        await page.keyboard.press('s');
        const saved = () => {
            const names = fs.readdirSync(downloads);
            const name = names.find(n => n.endsWith('.png'));
            if (!name || names.length > 1) return null;
            const bytes = fs.readFileSync(path.join(downloads, name));
            return bytes.length > 24 ? [name, bytes.readUInt32BE(0), bytes.readUInt32BE(16), bytes.readUInt32BE(20)] : null;
        };
        for (let waited = 0; !saved() && waited < 10000; waited += 100) await sleep(100);
        if (!saved()) throw new Error(`${size}: S saved no PNG: ${fs.readdirSync(downloads)}`);
        const [name, signature, width, height] = saved();
        console.log(`${size} screenshot: ${name}, ${width}x${height}`);
        if (!/^orangefunk-\d\d-\d\d\d\.png$/.test(name) || signature !== 0x89504e47 || width !== 640 || height !== 480)
            throw new Error(`${size}: S gave ${name} (${signature.toString(16)}, ${width}x${height}), not a 640x480 PNG`);
    }

    await press(page, '#pause', touch);
    await until(page, () => document.body.dataset.paused === 'true');
    if (!touch) {
        // Tab shows the overlay over the held picture and takes it away again, still paused.
        await page.evaluate(() => window.corner = () => {
            const copy = document.createElement('canvas');
            copy.width = 160, copy.height = 60;
            copy.getContext('2d').drawImage(document.getElementById('canvas'), 0, 0, 160, 60, 0, 0, 160, 60);
            return copy.toDataURL();
        });
        await sleep(500);  // the frame being drawn at the click is the one held
        const held = await page.evaluate(() => corner());
        await page.keyboard.press('Tab');
        await until(page, h => corner() !== h, held, 5000);
        await page.keyboard.press('Tab');
        await until(page, h => corner() === h && document.body.dataset.paused === 'true', held, 5000);
        console.log(`${size} paused: Tab drew the overlay over the held picture, Tab again took it away`);
    }
    for (const button of ['#pause', '#mute', '#full', '#seek'])
        if (!await usable(button)) throw new Error(`${size}: ${button} is not usable`);
    await shot('bar');
    await press(page, '.mark[data-order="15"]', touch);
    await until(page, () => document.body.dataset.position.startsWith('15:') && document.body.dataset.paused === 'false');
    await press(page, '#mute', touch);
    await until(page, () => document.body.dataset.volume === '0.00');
    await press(page, '#full', touch);
    await until(page, () => document.fullscreenElement === document.documentElement);
    await page.keyboard.press('f');
    await until(page, () => !document.fullscreenElement && document.body.dataset.state === 'playing');
    await page.keyboard.press('Escape');
    await until(page, () => document.body.dataset.state === 'stopped');
    const stopped = await page.$eval('#screen', e => e.innerText);
    if (!stopped.includes('Stopped.') || !await usable('#play')) throw new Error(`${size}: after Escape: ${stopped}`);
    await shot('stopped');
    if (touch) await page.tap('#play');
    else await page.click('#play');
    await until(page, () => document.body.dataset.state === 'playing');

    // With ?sharp the canvas renders at its device pixels.
    await page.goto(base + '?sharp');
    await until(page, () => document.body.dataset.state === 'ready', null, 60000);
    await page.click('#play');
    await until(page, () => document.body.dataset.position);
    const want = await page.$eval('#canvas', e => {
        const box = e.getBoundingClientRect();
        return [box.width, box.height].map(v => Math.round(v * devicePixelRatio));
    });
    await until(page, w => String([canvas.width, canvas.height]) === String(w), want, 20000);
    console.log(`${size}: the canvas renders at ${want}`);
    await context.close();
    fs.rmSync(downloads, {recursive: true});
}

const kPartStarts = [0, 3, 9, 15, 18, 23, 26, 28];

async function fps(browser, base, log) {
    const median = v => [...v].sort((a, b) => a - b)[Math.floor(v.length / 2)];
    for (const order of kPartStarts) {
        const page = await browser.newPage();
        await page.setViewport({width: 1280, height: 800});
        page.on('pageerror', error => log.push('page error: ' + error.message));
        await page.goto(`${base}?play&from=${order}`);
        // Firefox may still hold a later tab's sound until a click, which the page asks for.
        await until(page, () => document.body.dataset.position || document.body.dataset.state === 'sound', null, 60000);
        if (await state(page) === 'sound') await page.click('#play');
        await until(page, () => document.body.dataset.position, null, 60000);
        if (order === kPartStarts[0])
            console.log('WebGL renderer: ' + await page.evaluate(() => {
                const gl = document.createElement('canvas').getContext('webgl');
                const info = gl && gl.getExtension('WEBGL_debug_renderer_info');
                return info ? gl.getParameter(info.UNMASKED_RENDERER_WEBGL) : 'not said';
            }));
        await sleep(2000);
        const counts = [];
        let last = await page.evaluate(() => Module.framesShown);
        for (let i = 0; i < 8; ++i) {
            await sleep(1000);
            const now = await page.evaluate(() => Module.framesShown);
            counts.push(now - last);
            last = now;
        }
        const canvas = await page.$eval('#canvas', e => `${e.width}x${e.height}`);
        console.log(`from ${String(order).padStart(2)}: median ${median(counts)} frames/s ` +
                    `(${Math.min(...counts)} to ${Math.max(...counts)}), canvas ${canvas}, ` +
                    `load ${require('node:os').loadavg().map(l => l.toFixed(1)).join(' ')}`);
        await page.close();
    }
}

// Starts the browser: Chromium headless, drawing WebGL with SwiftShader; Firefox ESR in a
// window on the X display, drawing with Mesa (headless, it gives no WebGL). autoplay: sound
// may start without a gesture (else only after one, as in a browser as installed); webgl:
// false turns WebGL off, as a user or a blocked driver may; touch: Firefox's pointer is a
// touch screen's (Chromium's page takes it from its viewport, Firefox from preferences).
async function launch({autoplay, webgl = true, touch = false}) {
    const common = {protocolTimeout: 600000, defaultViewport: {width: kWidth, height: kHeight}};
    const found = (file, name) => {
        if (!fs.existsSync(file)) throw new Error(`${name} is missing (${file}): scripts/web.sh --test-tools installs it`);
        return file;
    };
    if (kBrowser === 'chromium')
        return puppeteer.launch({
            ...common,
            executablePath: found(process.env.CHROMIUM || '/usr/bin/chromium', 'Chromium'),
            headless: true,
            args: ['--no-sandbox', '--disable-dev-shm-usage', '--enable-unsafe-swiftshader',
                   `--autoplay-policy=${autoplay ? 'no-user-gesture-required' : 'document-user-activation-required'}`,
                   `--window-size=${kWidth},${kHeight}`, ...(webgl ? [] : ['--disable-webgl', '--disable-3d-apis'])],
        });
    if (kBrowser !== 'firefox') throw new Error(`ORANGEFUNK_WEB_BROWSER is "${kBrowser}", not chromium or firefox`);
    const executablePath = found(process.env.FIREFOX || '/usr/bin/firefox-esr', 'Firefox ESR');
    if (!process.env.DISPLAY) throw new Error('Firefox needs an X display for WebGL: run it under scripts/helpers/with-display.sh');
    const runtime = process.env.XDG_RUNTIME_DIR;
    if (!process.env.PULSE_SERVER && !(runtime && fs.existsSync(path.join(runtime, 'pulse/native'))))
        throw new Error('Firefox plays sound only through a sound server: run it under scripts/helpers/with-sound.sh');
    return puppeteer.launch({
        ...common,
        browser: 'firefox',
        executablePath,
        headless: false,
        extraPrefsFirefox: {
            // Sound: 0 allows it before a gesture; 1 (as installed) holds a media element's
            // until one, and block-webaudio holds Web Audio's too, as Chromium does.
            'media.autoplay.default': autoplay ? 0 : 1,
            'media.autoplay.block-webaudio': !autoplay,
            // A tab the driver opens may count as one never shown, whose sound would wait.
            'media.block-autoplay-until-in-foreground': false,
            'webgl.disabled': !webgl,
            // Xvfb has no window manager to make the window full screen: the page alone is.
            'full-screen-api.ignore-widgets': true,
            // A download opens Firefox's downloads panel, and full screen is refused while it
            // is open: this is a user's click away from it.
            'browser.download.alwaysOpenPanel': false,
            ...(touch ? {'ui.primaryPointerCapabilities': 1, 'ui.allPointerCapabilities': 1,  // coarse, no hover
                         'dom.w3c_touch_events.enabled': 1, 'dom.maxtouchpoints.testing.value': 1} : {}),
        },
    });
}

async function main() {
    const [site, mode, ...rest] = process.argv.slice(2);
    if (!fs.existsSync(path.join(site, 'orangefunk.wasm')))
        throw new Error(`${site} holds no browser build (scripts/web.sh builds it)`);
    const server = await serve(site);
    const base = `http://127.0.0.1:${server.address().port}/`;
    const log = [];
    let browser = null;
    try {
        if (mode === 'ui') {
            // Under a normal browser's autoplay policy: sound only after a gesture.
            for (const viewport of [{width: 1280, height: 800},
                                    {width: 390, height: 844, deviceScaleFactor: 3, isMobile: true, hasTouch: true}]) {
                browser = await launch({autoplay: false, touch: viewport.hasTouch});
                await ui(browser, base, rest[0], viewport, log);
                await browser.close();
                browser = null;
            }
            browser = await launch({autoplay: false, webgl: false});
            await noWebGL(browser, base, rest[0], log);
        } else {
            browser = await launch({autoplay: true});
            if (mode === 'frames') await frames(browser, base, rest[0], rest.slice(1), log);
            else if (mode === 'realtime') await realtime(browser, base, log);
            else if (mode === 'fps') await fps(browser, base, log);
            else throw new Error(`unknown mode ${mode}`);
        }
    } catch (error) {
        console.error(log.join('\n'));
        throw error;
    } finally {
        if (browser) await browser.close();
        server.close();
    }
}

main().catch(error => {
    console.error('page.cjs: ' + error.message);
    process.exit(1);
});
