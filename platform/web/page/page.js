// Throngwick's page: checks for WebGL, shows the title as soon as its picture is in, loads the
// program and the rest meanwhile, gives the program the address's options, runs its frames, and
// passes the person's mouse, keys and touches on to it. Every file it cannot load or use is named
// in a line at the bottom, and the main message agrees.
//
//   ?seed=N      the crowd that --seed N gives        ?mute       no sound at all
//   ?attract=N   --attract N: the hall plays by itself after N seconds without input
//   ?replay=FILE a recording of this site's, played again; with &frames, each frame is handed
//                out below, and &fps=N films N frames a second
//   ?renderer=classic  the crowd sprite by sprite (batched, from one atlas, by default)
//   ?webgl=1     WebGL 1 even where WebGL 2 is offered (the hall then is drawn every frame)
//   ?redraw-hall --redraw-hall
"use strict";

const page = (() => {
  const canvas = document.getElementById("canvas");
  const splash = document.getElementById("splash");
  const query = new URLSearchParams(location.search);
  const replaying = query.has("replay");
  const filming = replaying && query.has("frames");
  const framesHeld = 3; // frames drawn ahead of those taken, when filming
  const takerWaitMs = 2000; // filmed frames nobody asks for are let go after this
  const maxBufferWidth = 2048; // pixels of drawing buffer, however large the screen
  const stallMs = 10000; // a file from which nothing arrives for this long is given up
  const updateWaitMs = 3000; // the most a start waits to learn of a new build
  const touch = matchMedia("(pointer: coarse)").matches;
  const arrows = { ArrowLeft: 100, ArrowUp: 101, ArrowRight: 102, ArrowDown: 103 };

  const state = {
    phase: "loading", // "title" once the page shows it, "running" with the program's first frame,
    // "closed" after Esc, a replay's end or a failure
    titleMs: null, // from opening the page to the title shown
    runningMs: null, // from opening the page to the program's first frame
    status: null, // the program's exit status once closed
    frames: [], // drawn and not yet taken: { number, image }
    build: null, // files.json's hash of the build
  };
  let buttonsDown = 0;
  let pointer = [0, 0];
  let touchStart = null;
  let entering = null; // input that came while the program loaded: given to it once it runs
  let started = false; // the program's main has run: its frames and input may come
  let framesTaken = false;
  let heldSinceMs = null;
  const mirror = { silent: false, paused: false }; // as the program's M and P left them

  function problem(text) {
    const item = document.createElement("li");
    item.textContent = text;
    document.getElementById("problems").append(item);
  }

  function say(text) {
    document.getElementById("progress").textContent = text;
  }

  // The main message, for good: the page explains itself below it.
  function fail(text) {
    say(text);
    state.phase = "closed";
    document.body.classList.remove("title");
    document.getElementById("bar").hidden = true;
    document.getElementById("about").classList.add("shown");
  }

  let received = 0;
  let expected = 1;
  function showProgress() {
    document.getElementById("filled").style.width =
      `${Math.round(Math.min(1, received / expected) * 100)}%`;
  }

  // The file's bytes as the program wants them: fetched compressed where the list has a
  // compressed copy and the browser can unpack it, counted into the bar, and kept for the offline
  // copy when no worker keeps it yet. Null, with a line naming it, when it cannot be had.
  async function load(entry, { quiet = false, size = entry.bytes } = {}) {
    const packed = entry.packed > 0 && "DecompressionStream" in window;
    const name = packed ? `${entry.path}.gz` : entry.path;
    const abort = new AbortController();
    let timer = setTimeout(() => abort.abort(), stallMs);
    const kept = Boolean(navigator.serviceWorker && navigator.serviceWorker.controller);
    try {
      const response = await fetch(name, { signal: abort.signal });
      if (!response.ok) throw new Error(`${response.status} ${response.statusText}`.trim());
      const chunks = [];
      const reader = response.body.getReader();
      for (;;) {
        const { done, value } = await reader.read();
        if (done) break;
        clearTimeout(timer);
        timer = setTimeout(() => abort.abort(), stallMs);
        chunks.push(value);
        received += value.length * (size / (packed ? entry.packed : entry.bytes || 1));
        showProgress();
      }
      clearTimeout(timer);
      const raw = new Blob(chunks);
      if (!kept) keepOffline(name, raw, response.headers.get("Content-Type"));
      const bytes = packed
        ? new Response(raw.stream().pipeThrough(new DecompressionStream("gzip")))
        : new Response(raw);
      return new Uint8Array(await bytes.arrayBuffer());
    } catch (error) {
      clearTimeout(timer);
      const why = error.name === "AbortError" ? `nothing arrived for ${stallMs / 1000} s`
        : error.name === "TypeError" && packed ? "it could not be unpacked or reached"
        : error.message;
      if (!quiet)
        problem(`${entry.path} could not be loaded (${why})` +
                (entry.needed ? "." : "; the hall goes on without it."));
      return null;
    }
  }

  // The offline copy: the worker keeps what it fetches; before it runs (the first visit), the
  // page keeps what it fetched in the worker's cache of this build.
  function keepOffline(name, blob, type) {
    if (!state.build || !("caches" in window) || !navigator.serviceWorker) return;
    caches.open(`throngwick-${state.build}`)
      .then((cache) => cache.put(name, new Response(blob, { headers: { "Content-Type": type || "" } })))
      .catch(() => {});
  }

  // The offline copy's worker, registered at the first visit. At a later one, a new build's
  // worker found before the page has loaded anything large takes over, and the page starts again
  // with it, so that it never mixes the files of two builds; one not found within updateWaitMs
  // waits until no page of this build is open. True when the page is about to start again.
  async function offlineCopy() {
    const workers = navigator.serviceWorker;
    if (!workers || !window.isSecureContext) return false;
    const registering = workers.register("sw.js");
    registering.catch(() => {});
    if (!workers.controller) return false;
    const bounded = (promise) =>
      Promise.race([promise, new Promise((resolve) => setTimeout(resolve, updateWaitMs))]);
    try {
      const registration = await bounded(registering);
      if (registration) await bounded(registration.update());
      const worker = registration && (registration.installing || registration.waiting);
      if (!worker) return false;
      await bounded(new Promise((resolve) => {
        if (worker.state !== "installing") resolve();
        worker.addEventListener("statechange", resolve);
      }));
      if (worker.state !== "installed") return false;
      workers.addEventListener("controllerchange", () => location.reload());
      setTimeout(() => location.reload(), updateWaitMs);
      worker.postMessage("take over");
      return true;
    } catch (error) {
      return false; // offline, or the server gone: the copy opens as it is
    }
  }

  // A 2:1 TGA (types 2 and 10, 24 or 32 bits, either row order) as an ImageData, top row first.
  function decodeTga(bytes) {
    const type = bytes[2], width = bytes[12] | (bytes[13] << 8), height = bytes[14] | (bytes[15] << 8);
    const depth = bytes[16] / 8, topFirst = (bytes[17] & 0x20) !== 0;
    if ((type !== 2 && type !== 10) || (depth !== 3 && depth !== 4) || !width || !height)
      throw new Error("not a picture this page shows");
    const image = new ImageData(width, height);
    const out = image.data;
    let at = 18 + bytes[0];
    const put = (pixel) => {
      const x = pixel % width, row = Math.floor(pixel / width);
      const o = ((topFirst ? row : height - 1 - row) * width + x) * 4;
      out[o] = bytes[at + 2]; out[o + 1] = bytes[at + 1]; out[o + 2] = bytes[at];
      out[o + 3] = depth === 4 ? bytes[at + 3] : 255;
    };
    for (let pixel = 0; pixel < width * height;) {
      if (at >= bytes.length) throw new Error("cut short");
      if (type === 2) { put(pixel++); at += depth; continue; }
      const header = bytes[at++], count = (header & 0x7f) + 1;
      if (header & 0x80) {
        for (let i = 0; i < count && pixel < width * height; ++i) put(pixel++);
        at += depth;
      } else {
        for (let i = 0; i < count && pixel < width * height; ++i) { put(pixel++); at += depth; }
      }
    }
    return image;
  }

  // The title where the program draws it: 300 by 150 units, centred half a unit below the eye's
  // height, 145 units ahead, with a vertical field of view of 55 degrees.
  function showTitle(bytes) {
    const picture = document.createElement("canvas");
    const image = decodeTga(bytes);
    picture.width = image.width;
    picture.height = image.height;
    picture.getContext("2d").putImageData(image, 0, 0);
    splash.width = canvas.width;
    splash.height = canvas.height;
    const focal = 1 / Math.tan((27.5 * Math.PI) / 180);
    const aspect = canvas.width / canvas.height;
    const toX = (x) => ((focal / aspect) * (x / 145) + 1) * canvas.width / 2;
    const toY = (y) => (1 - focal * (y / 145)) * canvas.height / 2;
    const context = splash.getContext("2d");
    context.fillStyle = "#000";
    context.fillRect(0, 0, splash.width, splash.height);
    context.drawImage(picture, toX(-150), toY(74.5), toX(150) - toX(-150), toY(-75.5) - toY(74.5));
    splash.hidden = false;
  }

  function options(replayName) {
    const args = ["--renderer", query.get("renderer") || "batched"];
    if (query.has("seed")) args.push("--seed", query.get("seed"));
    if (query.has("mute")) args.push("--mute");
    if (query.has("attract")) args.push("--attract", query.get("attract"));
    if (query.has("redraw-hall")) args.push("--redraw-hall");
    if (replaying) args.push("--replay", replayName);
    if (filming) args.push("--frames", "frames");
    if (filming && query.has("fps")) args.push("--fps", query.get("fps"));
    return args;
  }

  // The canvas as large as the window allows at 2:1; the drawing buffer in device pixels.
  function layout() {
    const room = document.documentElement;
    const width = Math.max(1, Math.min(room.clientWidth, room.clientHeight * 2));
    canvas.style.width = `${width}px`;
    canvas.style.height = `${width / 2}px`;
    const bufferWidth = Math.min(maxBufferWidth, Math.round(width * (devicePixelRatio || 1)));
    return [bufferWidth, Math.max(1, Math.round(bufferWidth / 2))];
  }

  function close(status, text) {
    state.phase = "closed";
    state.status = status;
    if (window.Module && Module.sound) Module.sound.close();
    const notice = document.getElementById("notice");
    notice.textContent = text || (replaying
      ? "The visit has been played to its end. Reload the page to see it again."
      : "The hall is closed. Reload the page to enter it again.");
    notice.hidden = false;
  }

  // Every call into the program: Esc and a replay's end leave it through exit().
  function call(action) {
    if (!started || state.phase === "closed") return;
    try {
      action();
    } catch (error) {
      if (error && error.name === "ExitStatus") {
        close(error.status);
        return;
      }
      close(1, "The hall stopped at a fault. Reload the page to enter it again.");
      throw error;
    }
  }

  // Filmed frames wait for whoever takes them; when nobody has asked for any a while after the
  // first were drawn, the replay plays on without keeping them.
  function holding() {
    if (!filming || state.frames.length < framesHeld) return false;
    if (framesTaken) return true;
    heldSinceMs = heldSinceMs === null ? performance.now() : heldSinceMs;
    if (performance.now() - heldSinceMs < takerWaitMs) return true;
    state.frames.length = 0;
    if (!holding.said) problem("No script takes the frames (page.nextFrame): the replay plays on " +
                               "without keeping them.");
    holding.said = true;
    return false;
  }

  function frame() {
    if (state.phase === "closed") return;
    if (!holding()) call(() => Module._webFrame());
    if (state.runningMs === null) {
      state.phase = "running";
      state.runningMs = performance.now();
      splash.hidden = true;
      document.body.classList.remove("title");
      document.getElementById("loading").hidden = true;
      if (entering) entering();
      entering = null;
    }
    requestAnimationFrame(frame);
  }

  function position(event) {
    const box = canvas.getBoundingClientRect();
    return [Math.floor((event.clientX - box.left) * canvas.width / box.width),
            Math.floor((event.clientY - box.top) * canvas.height / box.height)];
  }

  // The first click, key or tap: sound may start.
  function wake() {
    if (window.Module && Module.sound) Module.sound.start();
  }

  // Input for the program; on the title while it loads, the first that enters is kept for it.
  // Whether the program gets it.
  function give(action) {
    if (state.phase === "running") {
      call(action);
      return true;
    }
    if (state.phase !== "title" || entering) return false;
    entering = action;
    say("Entering as soon as the hall is loaded…");
    return true;
  }

  function sendKey(code, up = false) {
    const running = state.phase === "running";
    // The buttons follow only the keys the program gets, so that they never disagree with it.
    if (!give(() => Module[up ? "_webKeyUp" : "_webKey"](code, ...pointer)) || up) return;
    if (code === 77 || code === 109) mirror.silent = !mirror.silent;
    if ((code === 80 || code === 112) && running) mirror.paused = !mirror.paused;
    showButtons();
  }

  // A key as the program takes it: a character by its code (the program takes ASCII's alone),
  // Enter and Esc by theirs, and the arrows as GLUT's special keys.
  function keyOf(event) {
    if (event.key in arrows) return { special: arrows[event.key] };
    if (event.key === "Escape") return { code: 27 };
    if (event.key === "Enter") return { code: 13 };
    const characters = [...event.key];
    return characters.length === 1 ? { code: characters[0].codePointAt(0) } : null;
  }

  function onKey(event) {
    const key = keyOf(event);
    if (!key || event.ctrlKey || event.metaKey || event.altKey) return;
    // A focused button takes its own Enter and Space.
    if (event.target instanceof HTMLButtonElement && (key.code === 13 || key.code === 32)) return;
    const down = event.type === "keydown";
    if (down && event.repeat && key.special === undefined) return;
    event.preventDefault();
    if (down) wake();
    if (key.special !== undefined) {
      if (down) give(() => Module._webSpecial(key.special, ...pointer));
      return;
    }
    sendKey(key.code, !down);
  }

  function showButtons() {
    const set = (id, pressed, name) => {
      const button = document.getElementById(id);
      button.setAttribute("aria-pressed", String(pressed));
      button.querySelector(".name").textContent = name;
    };
    set("mute", mirror.silent, mirror.silent ? "Sound on" : "Sound off");
    set("pause", mirror.paused, mirror.paused ? "Go on" : "Pause");
    set("fullscreen", Boolean(document.fullscreenElement),
        document.fullscreenElement ? "Leave full screen" : "Full screen");
  }

  async function toggleFullScreen() {
    try {
      if (document.fullscreenElement) {
        await document.exitFullscreen();
        return;
      }
      await document.documentElement.requestFullscreen({ navigationUI: "hide" });
      // Phones turn the hall on its side where the browser lets a page lock it.
      if (screen.orientation && screen.orientation.lock)
        await screen.orientation.lock("landscape").catch(() => {});
    } catch (error) {
      problem(`Full screen is not to be had here (${error.message}).`);
    }
  }

  function listen() {
    canvas.addEventListener("contextmenu", (event) => event.preventDefault());
    canvas.addEventListener("mousedown", (event) => {
      wake();
      event.preventDefault();
      buttonsDown |= 1 << event.button;
      pointer = position(event);
      give(() => Module._webMouse(event.button, 0, ...pointer));
    });
    // A button pressed on the canvas is let go wherever the pointer then is, as on the desktop.
    window.addEventListener("mouseup", (event) => {
      if (!(buttonsDown & (1 << event.button))) return;
      buttonsDown &= ~(1 << event.button);
      pointer = position(event);
      const at = pointer;
      give(() => Module._webMouse(event.button, 1, ...at));
    });
    window.addEventListener("mousemove", (event) => {
      const inside = event.target === canvas;
      if (!buttonsDown && !inside) return;
      pointer = position(event);
      call(() => (buttonsDown ? Module._webDrag(...pointer) : Module._webMove(...pointer)));
    });
    // Keys act wherever the focus is on the page.
    document.addEventListener("keydown", onKey);
    document.addEventListener("keyup", onKey);
    // A touch that ends near where it began is a tap; a finger's other moves do nothing.
    canvas.addEventListener("touchstart", (event) => {
      event.preventDefault();
      const finger = event.changedTouches[0];
      touchStart = event.touches.length === 1 ? [finger.clientX, finger.clientY] : null;
    }, { passive: false });
    canvas.addEventListener("touchend", (event) => {
      event.preventDefault();
      const finger = event.changedTouches[0];
      if (!touchStart || Math.hypot(finger.clientX - touchStart[0],
                                    finger.clientY - touchStart[1]) > 12) return;
      touchStart = null;
      wake();
      pointer = position(finger);
      const at = pointer;
      give(() => Module._webTap(...at));
    }, { passive: false });
    document.getElementById("mute").addEventListener("click", () => { wake(); sendKey(109); });
    document.getElementById("pause").addEventListener("click", () => { wake(); sendKey(112); });
    document.getElementById("fullscreen").addEventListener("click", toggleFullScreen);
    document.addEventListener("fullscreenchange", showButtons);
    window.addEventListener("resize", () => {
      const [width, height] = layout();
      // A replay keeps the recorded size: its frames are the desktop's, only shown larger.
      if (replaying || (width === canvas.width && height === canvas.height)) return;
      if (state.phase === "running") call(() => Module._webReshape(width, height));
      else if (state.phase !== "closed") [canvas.width, canvas.height] = [width, height];
    });
  }

  // A drawn frame of a filmed replay (RGBA, bottom row first), kept as an image until it is taken.
  function takeFrame(number, rgba, width, height) {
    const image = new ImageData(width, height);
    const row = width * 4;
    for (let y = 0; y < height; ++y)
      image.data.set(rgba.subarray((height - 1 - y) * row, (height - y) * row), y * row);
    state.frames.push({ number, image });
  }

  // The next frame of a filmed replay as { number, image } (an ImageData, top row first); null
  // after the last.
  async function nextFrame() {
    framesTaken = true;
    while (!state.frames.length && state.phase !== "closed")
      await new Promise((resolve) => setTimeout(resolve, 5));
    return state.frames.shift() || null;
  }

  // The recording ?replay= names: a file of this site, else null with a line saying why.
  function replayPath() {
    const given = query.get("replay") || "";
    if (!given || given.endsWith("/")) {
      problem(`?replay=${given} names no recording: give a file of this site, as ?replay=visit.txt.`);
      return null;
    }
    const url = new URL(given, location.href);
    if (url.origin !== location.origin) {
      problem(`?replay=${given} is not on this site: the page replays this site's recordings only.`);
      return null;
    }
    return given;
  }

  // The program's own lines: the problems it names (throngwick: ...) also on the page.
  function printErr(line) {
    console.warn(line);
    if (line.startsWith("throngwick: ")) problem(line.slice("throngwick: ".length));
  }

  function webGlVersion() {
    const probe = document.createElement("canvas");
    if (query.get("webgl") !== "1" && probe.getContext("webgl2")) return 2;
    return probe.getContext("webgl") ? 1 : 0;
  }

  async function start() {
    const [width, height] = layout();
    canvas.width = width;
    canvas.height = height;
    listen();
    showButtons();
    // Before anything large: a browser that cannot draw the hall is told so at once.
    const version = webGlVersion();
    if (!version) {
      fail("This browser cannot draw the hall: it offers no WebGL. Try another browser, or turn " +
           "on hardware acceleration (the graphics card) in this one's settings.");
      return;
    }
    if (await offlineCopy()) {
      say("Starting the new version of the hall…");
      return;
    }
    const recording = replaying ? replayPath() : "";
    if (recording === null) {
      fail("The visit could not be replayed: the address names no recording of this site.");
      return;
    }
    if (query.has("fps") && !filming)
      problem("?fps= goes with &frames, a filmed replay: the visit plays at its own pace.");

    let list;
    try {
      const response = await fetch("files.json");
      if (!response.ok) throw new Error(`${response.status} ${response.statusText}`.trim());
      const text = await response.text();
      try {
        list = JSON.parse(text);
        if (!Array.isArray(list.files)) throw new Error("no list of files");
      } catch (error) {
        problem(`files.json could not be read (${error.message}).`);
        fail("The hall could not be loaded: its list of files is broken.");
        return;
      }
    } catch (error) {
      problem(`files.json could not be loaded (${error.message}).`);
      fail("The hall could not be loaded: its list of files is missing.");
      return;
    }
    state.build = list.build;
    const entries = new Map(list.files.map((entry) => [entry.path, entry]));
    const titleName = "image_data/titlescreen.tga";
    const title = entries.get(touch && entries.has("image_data/titlescreen-tap.tga")
      ? "image_data/titlescreen-tap.tga" : titleName) || { path: titleName, bytes: 0 };
    const program = ["throngwick.js", "throngwick.wasm"]
      .map((path) => Object.assign({ path, bytes: 0 }, entries.get(path), { needed: true }));
    const pictures = [...entries.values()].filter((entry) => entry.path.startsWith("image_data/") &&
      entry.path !== titleName && !entry.path.endsWith("-tap.tga"));
    const music = "audio/adagio_vocal.mp3";
    const sounds = query.has("mute") ? [] : [...entries.values()]
      .filter((entry) => entry.path.startsWith("audio/") && entry.path !== music);
    const all = [title, ...program, ...pictures, ...sounds];
    expected = all.reduce((sum, entry) => sum + (entry.bytes || 0), 0) || 1;

    // The title first: it shows while the rest loads.
    const titleBytes = await load(title);
    if (titleBytes) {
      try {
        showTitle(titleBytes);
        state.phase = "title";
        state.titleMs = performance.now();
        document.body.classList.add("title");
      } catch (error) {
        problem(`${title.path} could not be shown (${error.message}).`);
      }
    }
    // Without the program or the recording there is nothing to open: the main message says so
    // as soon as one of them cannot be had, not once the rest has come.
    const needed = (entry, text) => load(entry).then((bytes) => {
      if (!bytes && state.phase !== "closed") fail(`${text}: ${entry.path} could not be had.`);
      return bytes;
    });
    const [programFiles, pictureFiles, soundFiles, recorded] = await Promise.all([
      Promise.all(program.map((entry) => needed(entry, "The hall could not be loaded"))),
      Promise.all(pictures.map((entry) => load(entry))),
      Promise.all(sounds.map(async (entry) => {
        const bytes = await load(entry);
        return bytes && ThrongwickSound.decode(bytes, entry.path, problem);
      })),
      replaying ? needed({ path: recording, bytes: 0, needed: true },
                         "The visit could not be replayed") : null,
    ]);
    if (state.phase === "closed") return;
    say("Opening the hall…");
    const decoded = new Map();
    sounds.forEach((entry, i) => soundFiles[i] && decoded.set(entry.path, soundFiles[i]));
    const loadMusic = (path) => load(Object.assign({ path, bytes: 0 }, entries.get(path)));
    const replayName = replaying ? recording.split("/").pop() : "";
    ThrongwickSound.report = problem;
    window.Module = {
      canvas,
      wasmBinary: programFiles[1],
      webGlVersion: version,
      sound: query.has("mute") ? null : new ThrongwickSound(decoded, loadMusic),
      takeFrame,
      printErr,
      onAbort: (what) => {
        problem(`throngwick.wasm could not be used (${what}).`);
        fail("The hall could not be loaded: its program could not be started in this browser.");
      },
      preRun: [() => {
        // The program reads the pictures; the sounds went to Web Audio.
        const fs = Module.FS;
        fs.mkdir("/image_data");
        pictures.forEach((entry, i) => pictureFiles[i] && fs.writeFile(`/${entry.path}`, pictureFiles[i]));
        if (titleBytes) fs.writeFile(`/${titleName}`, titleBytes);
        if (replaying) fs.writeFile(`/${replayName}`, recorded);
      }],
      onRuntimeInitialized: () => {
        started = true;
        let status;
        try {
          status = Module.callMain(options(replayName));
        } catch (error) {
          status = error && error.name === "ExitStatus" ? error.status : 1;
        }
        if (status !== 0) {
          // Bad options, an unreadable recording, or no WebGL: the program said why, below.
          fail(replaying ? "The visit could not be replayed: the line below says why."
            : "The hall could not open: the line below says why.");
          state.status = status;
          return;
        }
        requestAnimationFrame(frame);
      },
    };
    const script = document.createElement("script");
    script.textContent = new TextDecoder().decode(programFiles[0]);
    document.body.append(script);
    if (!Module.FS) {
      problem("throngwick.js could not be used (it does not run as a script).");
      fail("The hall could not be loaded: its program could not be started in this browser.");
    }
  }

  start();
  return { state, nextFrame };
})();
