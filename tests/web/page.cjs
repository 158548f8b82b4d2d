// Drives the browser build in headless Chromium (puppeteer-core, found through NODE_PATH):
// serves the page's folder on 127.0.0.1 and
//   node page.cjs SITE frames OUTDIR FROM/ORDER:ROW...
//       opens ?from=FROM&at=ORDER:ROW for each, waits until the page holds that frame and
//       writes the canvas as OUTDIR/web-OO-RRR.png;
//   node page.cjs SITE realtime
//       checks that a start the program refuses says why in the page, then plays the
//       final section with its sound and checks that the song position moves on
//       at the module's row rate while the audio clock runs, stands while the audio clock is
//       suspended, and that "Done!" appears in the page when the show ends.
// Exits 1 with the reason (and the page's console) on any failure.
'use strict';
const fs = require('node:fs');
const http = require('node:http');
const path = require('node:path');
const puppeteer = require('puppeteer-core');

const kWidth = 640, kHeight = 480;
const kRowSeconds = 6 * 2.5 / 112;     // speed 6 at 112 beats per minute
const kRateTolerance = 0.2;            // share the row rate may be off by
const kTypes = {'.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm'};

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

// Song position, audio clock and frames shown so far.
function sample(page) {
    return page.evaluate(() => ({
        position: document.body.dataset.position,
        audio: Module.SDL2.audioContext.currentTime,
        frames: Module.framesShown,
    }));
}

function rowOf(s, order) {
    const [o, r] = s.position.split(':').map(Number);
    if (o !== order) throw new Error(`left order ${order}: at ${s.position}`);
    return r;
}

async function frames(browser, base, outDir, positions, log) {
    for (const item of positions) {
        const [from, at] = item.split('/');
        const page = await open(browser, base, `?from=${from}&at=${at}`, ['frame', 'done', 'failed'], 300000, log);
        const state = await page.evaluate(() => document.body.dataset.state);
        if (state !== 'frame') throw new Error(`?from=${from}&at=${at}: page ${state}`);
        const [o, r] = at.split(':').map(Number);
        const name = `web-${String(o).padStart(2, '0')}-${String(r).padStart(3, '0')}.png`;
        // The state is set while the frame is still being drawn: let the browser show it
        // (two animation frames) before the screenshot.
        await page.evaluate(() => new Promise(done => requestAnimationFrame(() => requestAnimationFrame(done))));
        await page.screenshot({path: path.join(outDir, name), clip: {x: 0, y: 0, width: kWidth, height: kHeight}});
        await page.close();
    }
}

async function realtime(browser, base, log) {
    const refused = await open(browser, base, '?play&from=99', ['failed'], 60000, log);
    const reason = await refused.evaluate(() => document.getElementById('messages').textContent);
    console.log(`?from=99: ${reason}`);
    if (!reason.includes('--from: "99"')) throw new Error('the page does not say why it cannot play');
    await refused.close();

    const order = 32;
    const page = await open(browser, base, `?play&from=${order}`, ['playing'], 60000, log);
    await page.waitForFunction(() => document.body.dataset.position, {timeout: 60000, polling: 50});
    const a = await sample(page);
    await sleep(4000);
    const b = await sample(page);
    const rate = (rowOf(b, order) - rowOf(a, order)) * kRowSeconds / (b.audio - a.audio);
    console.log(`rows ${rowOf(a, order)} to ${rowOf(b, order)} in ${(b.audio - a.audio).toFixed(2)} s of audio: ` +
                `${rate.toFixed(3)} of the module's row rate, ${((b.frames - a.frames) / 4).toFixed(1)} frames/s`);
    if (Math.abs(rate - 1) > kRateTolerance) throw new Error('the song position does not follow the audio clock');

    await page.evaluate(() => Module.SDL2.audioContext.suspend());
    await sleep(500);
    const c = await sample(page);
    await sleep(2000);
    const d = await sample(page);
    console.log(`audio suspended: ${c.position} then ${d.position}, ${d.frames - c.frames} frames drawn`);
    if (d.position !== c.position || d.frames === c.frames)
        throw new Error('with the audio clock stopped the show should go on drawing at a standing position');

    await page.evaluate(() => Module.SDL2.audioContext.resume());
    await sleep(2000);
    const e = await sample(page);
    console.log(`audio resumed: ${e.position}`);
    if (!(rowOf(e, order) > rowOf(d, order))) throw new Error('the song position did not move on after resuming');

    await page.waitForFunction(() => document.body.dataset.state === 'done', {timeout: 60000, polling: 100});
    const messages = await page.evaluate(() => document.getElementById('messages').textContent);
    console.log(`page messages: ${messages}`);
    if (!messages.includes('Done!')) throw new Error('the page does not show "Done!"');
}

async function main() {
    const [site, mode, ...rest] = process.argv.slice(2);
    if (!fs.existsSync(path.join(site, 'orangefunk.wasm')))
        throw new Error(`${site} holds no browser build (scripts/web.sh builds it)`);
    const server = await serve(site);
    const base = `http://127.0.0.1:${server.address().port}/`;
    const browser = await puppeteer.launch({
        executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
        headless: true,
        protocolTimeout: 600000,
        defaultViewport: {width: kWidth, height: kHeight},
        args: ['--no-sandbox', '--disable-dev-shm-usage', '--enable-unsafe-swiftshader',
               '--autoplay-policy=no-user-gesture-required',
               `--window-size=${kWidth},${kHeight}`],
    });
    const log = [];
    try {
        if (mode === 'frames') await frames(browser, base, rest[0], rest.slice(1), log);
        else if (mode === 'realtime') await realtime(browser, base, log);
        else throw new Error(`unknown mode ${mode}`);
    } catch (error) {
        console.error(log.join('\n'));
        throw error;
    } finally {
        await browser.close();
        server.close();
    }
}

main().catch(error => {
    console.error('page.cjs: ' + error.message);
    process.exit(1);
});
