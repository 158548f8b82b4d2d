// The page's script: the address parameters become the program's options ("from=28" as
// --from=28; "play" starts without the Play click, "at=" runs in lockstep for a frame),
// the program's loading where the browser draws WebGL (else the page says why it cannot
// play), the loading bar (the program's bytes and its data's), the start screen with the
// song's length, the sound's start (browsers let it start only after a gesture), and the
// control bar, whose buttons and seek bar call the program's PageCommand. The program
// reports through the body's data attributes: state (loading, ready, sound, playing,
// frame, stopped, ended, failed), position (ORDER:ROW), paused and volume.
// Everything but Module stays inside this function, clear of the program's own globals.
'use strict';
var Module = (() => {
    const byId = id => document.getElementById(id);
    const data = document.body.dataset;
    const query = new URLSearchParams(location.search);
    const lockstep = query.has('at');
    const fromOrder = Number(query.get('from')) || 0;
    const options = [];
    for (const [name, value] of query)
        if (name !== 'play') options.push(value === '' ? '--' + name : '--' + name + '=' + value);
    const kHideAfter = 3000;  // milliseconds without pointer movement before the bar fades
    let song = null;          // the program's PageSong (also Module.song): order start seconds, rows, parts
    let hideTimer = 0, seeking = false;
    data.state = 'loading';

    // The drawing buffer is kept after the browser shows it, so that a screenshot (S) taken
    // while the show is paused reads the picture on screen. Whether the browser gave the
    // canvas WebGL is noted for the program's failure to get a context.
    const canvas = byId('canvas'), getContext = canvas.getContext.bind(canvas);
    const webgl = {asked: false, given: false};
    canvas.getContext = (type, attributes) => {
        const context = getContext(type, {...attributes, preserveDrawingBuffer: true});
        if (type.includes('webgl')) {
            webgl.asked = true;
            webgl.given = webgl.given || Boolean(context);
        }
        return context;
    };
    // Whether this browser draws WebGL at all (turned off, or its driver blocked, it gives
    // no context): tried on a canvas of its own, given back at once.
    function browserHasWebGL() {
        const probe = document.createElement('canvas');
        const context = probe.getContext('webgl2') || probe.getContext('webgl');
        if (context) context.getExtension('WEBGL_lose_context')?.loseContext();
        return Boolean(context);
    }
    if (!browserHasWebGL()) failForWebGL();
    // The page cannot draw: says why in the start screen, with what to try, and offers no Play.
    function failForWebGL() {
        data.state = 'failed';
        byId('status').textContent = 'This browser gave the page no 3D graphics (WebGL), which the show needs to draw.';
        byId('advice').textContent = 'Try another browser, or turn on hardware acceleration (or WebGL) in this ' +
                                     "browser's settings, then load the page again.";
    }

    // The loading bar: bytes of the program and of its data loaded, against their sizes
    // as far as known.
    const loading = {program: [0, 0], data: [0, 0]};
    function showLoading() {
        const loaded = loading.program[0] + loading.data[0];
        const total = Math.max(loading.program[1], loading.program[0]) + loading.data[1];
        if (!total) return;
        byId('loaded').style.width = (100 * loaded / total).toFixed(1) + '%';
        byId('status').textContent = 'Loading… ' + Math.floor(100 * loaded / total) + '%';
    }
    // The program fetched here, counting its bytes, and compiled with the imports given.
    async function loadProgram(imports) {
        const response = await fetch('orangefunk.wasm');
        if (!response.ok) throw new Error(`orangefunk.wasm: ${response.status} ${response.statusText}`);
        loading.program[1] = Number(response.headers.get('Content-Length')) || 0;
        const reader = response.body.getReader(), chunks = [];
        for (let chunk = await reader.read(); !chunk.done; chunk = await reader.read()) {
            chunks.push(chunk.value);
            loading.program[0] += chunk.value.length;
            showLoading();
        }
        return WebAssembly.instantiate(await new Blob(chunks).arrayBuffer(), imports);
    }

    const command = text => Module.ccall('PageCommand', 'number', ['string'], [text]);
    const showEnd = () => song.orders[Math.min(song.end, song.orders.length - 1)];
    const clock = seconds => {
        const s = Math.max(0, Math.floor(seconds));
        return Math.floor(s / 60) + ':' + String(s % 60).padStart(2, '0');
    };
    // Seconds into the song at (order, row), rows spread evenly over their order.
    function secondsAt(order, row) {
        const start = song.orders[order], next = song.orders[order + 1] ?? start;
        return start + (next - start) * Math.min(row / (song.rows[order] || 1), 1);
    }
    function orderAt(seconds) {
        let order = 0;
        while (order + 1 < song.end && song.orders[order + 1] <= seconds) ++order;
        return order;
    }
    function partAt(order) {
        let part = song.parts[0];
        for (const p of song.parts) if (p[0] <= order) part = p;
        return part[1];
    }

    function showPosition(seconds) {
        const share = Math.min(seconds / showEnd(), 1) * 100 + '%';
        byId('played').style.width = share;
        byId('thumb').style.left = share;
        byId('time').textContent = clock(seconds) + ' / ' + clock(showEnd());
        byId('part').textContent = partAt(orderAt(seconds));
    }
    function onPageData() {
        if (!song || seeking || !data.position) return;
        const [order, row] = data.position.split(':').map(Number);
        showPosition(secondsAt(order, row));
        byId('volume').value = data.volume;
    }

    // The start screen again once the show has ended or was stopped; after the program's
    // failure, why (its own box is the detail, shown above).
    function onState() {
        if (data.state === 'failed') {
            if (webgl.asked && !webgl.given) failForWebGL();
            else if (!byId('status').textContent) byId('status').textContent = 'The show stopped on an error:';
        }
        if (data.state === 'stopped' || data.state === 'ended') {
            byId('status').textContent = data.state === 'stopped' ? 'Stopped.' : 'The end.';
            byId('play').textContent = 'Play again';
            byId('play').disabled = false;
            byId('play').focus();
        }
    }
    new MutationObserver(records => {
        for (const record of records) (record.attributeName === 'data-state' ? onState : onPageData)();
    }).observe(document.body, {attributes: true});

    function showControls() {
        byId('view').classList.add('shown');
        clearTimeout(hideTimer);
        hideTimer = setTimeout(() => { if (!seeking) byId('view').classList.remove('shown'); }, kHideAfter);
    }
    byId('view').addEventListener('pointermove', event => { if (event.pointerType === 'mouse') showControls(); });
    byId('view').addEventListener('pointerdown', showControls);

    // The seek bar: the position under the pointer while pressed, a jump to its order on release.
    function seekSeconds(event) {
        const box = byId('seek').getBoundingClientRect();
        return Math.min(Math.max((event.clientX - box.left) / box.width, 0), 1) * showEnd();
    }
    byId('seek').addEventListener('pointerdown', event => {
        if (!song) return;
        seeking = true;
        byId('seek').setPointerCapture(event.pointerId);
        showPosition(seekSeconds(event));
    });
    byId('seek').addEventListener('pointermove', event => { if (seeking) showPosition(seekSeconds(event)); });
    byId('seek').addEventListener('pointerup', event => {
        if (!seeking) return;
        seeking = false;
        const order = orderAt(seekSeconds(event));
        showPosition(song.orders[order]);
        command('jump ' + order);
    });
    byId('seek').addEventListener('pointercancel', () => { seeking = false; });

    // Buttons leave the focus to the page, so that keys go on to the show.
    function onClick(id, action) {
        byId(id).addEventListener('click', event => {
            action();
            event.currentTarget.blur();
        });
    }
    onClick('pause', () => command('pause'));
    onClick('mute', () => command('mute'));
    byId('volume').addEventListener('input', () => command('volume ' + byId('volume').value));
    byId('volume').addEventListener('change', () => byId('volume').blur());
    function toggleFullscreen() {
        if (document.fullscreenElement) document.exitFullscreen();
        else document.documentElement.requestFullscreen().catch(() => {});
    }
    if (!document.documentElement.requestFullscreen) byId('full').hidden = true;
    onClick('full', toggleFullscreen);
    // F and Alt+Enter are the page's: full screen needs the key's own event.
    document.addEventListener('keydown', event => {
        const f = event.key.toLowerCase() === 'f' && !event.ctrlKey && !event.metaKey && !event.altKey;
        if (!f && !(event.key === 'Enter' && event.altKey)) return;
        event.preventDefault();
        event.stopPropagation();
        toggleFullscreen();
    }, true);

    // The sound's context, made for the program's SDL; resolves whether it runs (a browser may
    // hold it until a click).
    function startSound() {
        const SDL2 = Module.SDL2 = Module.SDL2 || {};
        if (!SDL2.audioContext) SDL2.audioContext = new AudioContext();
        const context = SDL2.audioContext;
        const wait = new Promise(done => setTimeout(done, 1500));
        return Promise.race([context.resume(), wait]).then(() => context.state === 'running', () => false);
    }
    function start() {
        byId('still').remove();
        data.state = 'playing';
        byId('play').disabled = true;
        showControls();
        Module.callMain(options);
    }
    byId('play').addEventListener('click', () => {
        if (data.state === 'stopped' || data.state === 'ended') return command('jump ' + fromOrder);
        if (data.state === 'ready' || data.state === 'sound') {
            startSound();
            start();
        }
    });

    return {
        canvas,
        print: text => console.log(text),
        printErr: text => console.error(text),
        instantiateWasm(imports, receive) {
            loadProgram(imports).then(result => receive(result.instance, result.module),
                                      error => Module.onAbort(error.message));
            return {};
        },
        setStatus(text) {
            if (data.state !== 'loading') return;
            const loaded = /\((\d+(?:\.\d+)?)\/(\d+)\)/.exec(text);
            if (!loaded) return;
            loading.data = [Number(loaded[1]), Number(loaded[2])];
            showLoading();
        },
        onRuntimeInitialized() {
            // Options the program refuses are said at once, with no Play control.
            if (Module.ccall('CheckPageOptions', 'number', ['string'], [options.join('\n')]) !== 0) {
                byId('status').textContent = 'The show cannot start with this address.';
                return;
            }
            song = Module.song = JSON.parse(Module.ccall('PageSong', 'string', [], []));
            byId('length').textContent = clock(showEnd() - song.orders[fromOrder]);
            for (const [order, name] of song.parts) {
                const mark = document.createElement('div');
                mark.className = 'mark';
                mark.title = name;
                mark.dataset.order = order;
                mark.style.left = 100 * song.orders[order] / showEnd() + '%';
                byId('marks').appendChild(mark);
            }
            showPosition(song.orders[fromOrder]);
            byId('status').textContent = '';
            data.state = 'ready';
            // Lockstep frames have no sound: nothing to wait for.
            if (lockstep) return start();
            byId('play').textContent = 'Play';
            byId('play').disabled = false;
            byId('play').focus();
            if (!query.has('play')) return;
            startSound().then(running => {
                if (running) return start();
                data.state = 'sound';
                byId('play').textContent = 'Click to start the sound';
            });
        },
        onAbort(what) {
            data.state = 'failed';
            byId('messages').textContent = 'The show stopped: ' + what;
        },
    };
})();

// The program is loaded only where it can draw.
if (document.body.dataset.state === 'loading') {
    const program = document.createElement('script');
    program.src = 'orangefunk.js';
    document.body.appendChild(program);
}
