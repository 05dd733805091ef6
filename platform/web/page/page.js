// Throngwick's page: loads the program, its pictures and sounds with a progress bar, gives it the
// address's options, runs its frames, and passes the canvas's mouse, keys and touches on to it.
//
//   ?seed=N      the crowd that --seed N gives        ?mute       no sound at all
//   ?replay=FILE a recording made on the desktop, fetched from beside the page, played again;
//                with &fps=N, N frames a second, and with &frames, each frame handed out below
//   ?renderer=classic  the crowd sprite by sprite (batched, from one atlas, by default)
"use strict";

const page = (() => {
  const canvas = document.getElementById("canvas");
  const query = new URLSearchParams(location.search);
  const replaying = query.has("replay");
  const filming = replaying && query.has("frames");
  const framesHeld = 3; // frames drawn ahead of those taken, when filming
  const maxBufferWidth = 2048; // pixels of drawing buffer, however large the screen

  const state = {
    phase: "loading", // then "running" once the title shows, "closed" after Esc or a replay
    titleMs: null, // from opening the page to the first drawn frame
    status: null, // the program's exit status once closed
    frames: [], // drawn and not yet taken: { number, image }
  };
  let buttonsDown = 0;
  let pointer = [0, 0];
  let touchStart = null;

  function problem(text) {
    const item = document.createElement("li");
    item.textContent = text;
    document.getElementById("problems").append(item);
  }

  function showProgress(fraction) {
    document.getElementById("filled").style.width = `${Math.round(fraction * 100)}%`;
  }

  // Each file of the list as bytes, counting them into the bar; one that cannot be had is named
  // on the page and left out.
  async function fetchAll(entries) {
    const total = entries.reduce((sum, entry) => sum + entry.bytes, 0) || 1;
    let received = 0;
    return Promise.all(entries.map(async (entry) => {
      try {
        const response = await fetch(entry.path);
        if (!response.ok) throw new Error(`${response.status} ${response.statusText}`);
        const reader = response.body.getReader();
        const chunks = [];
        for (;;) {
          const { done, value } = await reader.read();
          if (done) break;
          chunks.push(value);
          received += value.length;
          showProgress(Math.min(1, received / total));
        }
        const bytes = new Uint8Array(chunks.reduce((sum, chunk) => sum + chunk.length, 0));
        chunks.reduce((at, chunk) => (bytes.set(chunk, at), at + chunk.length), 0);
        return bytes;
      } catch (error) {
        problem(`${entry.path} could not be loaded (${error.message})` +
                (entry.needed ? "." : "; the hall goes on without it."));
        return null;
      }
    }));
  }

  function options(replayName) {
    const args = ["--renderer", query.get("renderer") || "batched"];
    if (query.has("seed")) args.push("--seed", query.get("seed"));
    if (query.has("mute")) args.push("--mute");
    if (replaying) args.push("--replay", replayName);
    if (query.has("fps")) args.push("--fps", query.get("fps"));
    if (filming) args.push("--frames", "frames");
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
    const notice = document.getElementById("notice");
    notice.textContent = text || (replaying
      ? "The visit has been played to its end. Reload the page to see it again."
      : "The hall is closed. Reload the page to enter it again.");
    notice.hidden = false;
  }

  // Every call into the program: Esc and a replay's end leave it through exit().
  function call(action) {
    if (state.phase === "closed") return;
    try {
      action();
    } catch (error) {
      if (error && error.name === "ExitStatus") {
        close(error.status);
        return;
      }
      close(1);
      throw error;
    }
  }

  function frame() {
    if (state.phase === "closed") return;
    if (!filming || state.frames.length < framesHeld) call(() => Module._webFrame());
    if (state.titleMs === null) {
      state.titleMs = performance.now();
      state.phase = "running";
      document.getElementById("loading").hidden = true;
    }
    requestAnimationFrame(frame);
  }

  function position(event) {
    const box = canvas.getBoundingClientRect();
    return [Math.floor((event.clientX - box.left) * canvas.width / box.width),
            Math.floor((event.clientY - box.top) * canvas.height / box.height)];
  }

  // The first click, key or tap: sound may start, and keys go to the canvas.
  function wake() {
    if (Module.sound) Module.sound.start();
    if (document.activeElement !== canvas) canvas.focus();
  }

  function keyCode(event) {
    if (event.key === "Escape") return 27;
    return event.key.length === 1 ? event.key.charCodeAt(0) : null;
  }

  function listen() {
    canvas.addEventListener("contextmenu", (event) => event.preventDefault());
    canvas.addEventListener("mousedown", (event) => {
      wake();
      event.preventDefault();
      buttonsDown |= 1 << event.button;
      pointer = position(event);
      call(() => Module._webMouse(event.button, 0, ...pointer));
    });
    // A button pressed on the canvas is let go wherever the pointer then is, as on the desktop.
    window.addEventListener("mouseup", (event) => {
      if (!(buttonsDown & (1 << event.button))) return;
      buttonsDown &= ~(1 << event.button);
      pointer = position(event);
      call(() => Module._webMouse(event.button, 1, ...pointer));
    });
    window.addEventListener("mousemove", (event) => {
      const inside = event.target === canvas;
      if (!buttonsDown && !inside) return;
      pointer = position(event);
      call(() => (buttonsDown ? Module._webDrag(...pointer) : Module._webMove(...pointer)));
    });
    for (const [type, entry] of [["keydown", "_webKey"], ["keyup", "_webKeyUp"]]) {
      canvas.addEventListener(type, (event) => {
        const code = keyCode(event);
        if (code === null || event.ctrlKey || event.metaKey || event.altKey) return;
        if (type === "keydown") wake();
        event.preventDefault();
        call(() => Module[entry](code, ...pointer));
      });
    }
    // A touch that ends near where it began is a tap; a finger's other moves do nothing.
    canvas.addEventListener("touchstart", (event) => {
      event.preventDefault();
      const touch = event.changedTouches[0];
      touchStart = event.touches.length === 1 ? [touch.clientX, touch.clientY] : null;
    }, { passive: false });
    canvas.addEventListener("touchend", (event) => {
      event.preventDefault();
      const touch = event.changedTouches[0];
      if (!touchStart || Math.hypot(touch.clientX - touchStart[0],
                                    touch.clientY - touchStart[1]) > 12) return;
      touchStart = null;
      wake();
      pointer = position(touch);
      call(() => Module._webTap(...pointer));
    }, { passive: false });
    window.addEventListener("resize", () => {
      const [width, height] = layout();
      // A replay keeps the recorded size: its frames are the desktop's, only shown larger.
      if (!replaying && (width !== canvas.width || height !== canvas.height))
        call(() => Module._webReshape(width, height));
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
    while (!state.frames.length && state.phase !== "closed")
      await new Promise((resolve) => setTimeout(resolve, 5));
    return state.frames.shift() || null;
  }

  async function start() {
    const [width, height] = layout();
    canvas.width = width;
    canvas.height = height;
    const list = await (await fetch("files.json")).json();
    const replayPath = query.get("replay");
    const entries = replaying ? [...list, { path: replayPath, bytes: 0, needed: true }] : list;
    const loaded = await fetchAll(entries);
    const files = new Map(entries.map((entry, i) => [entry.path, loaded[i]]));
    if (!files.get("throngwick.js") || !files.get("throngwick.wasm") || !window.WebGLRenderingContext) {
      document.getElementById("progress").textContent = "The hall could not be loaded.";
      document.getElementById("about").classList.add("shown");
      return;
    }
    const sounds = new Map();
    if (!query.has("mute")) {
      await Promise.all(entries.filter((entry) => entry.path.startsWith("audio/") &&
                                                  files.get(entry.path))
        .map(async (entry) => {
          try {
            sounds.set(entry.path, await ThrongwickSound.decode(files.get(entry.path)));
          } catch (error) {
            problem(`${entry.path} could not be decoded; the hall goes on without it.`);
          }
        }));
    }
    const replayName = replaying ? replayPath.split("/").pop() : "";
    window.Module = {
      canvas,
      wasmBinary: files.get("throngwick.wasm"),
      sound: query.has("mute") ? null : new ThrongwickSound(sounds),
      takeFrame,
      printErr: (line) => { console.warn(line); problem(line); },
      preRun: [() => {
        // The program reads the pictures; the sounds went to Web Audio, decoded above.
        const fs = Module.FS;
        fs.mkdir("/image_data");
        for (const [path, bytes] of files)
          if (bytes && path.startsWith("image_data/")) fs.writeFile(`/${path}`, bytes);
        if (replaying && files.get(replayPath)) fs.writeFile(`/${replayName}`, files.get(replayPath));
      }],
      onRuntimeInitialized: () => {
        const status = Module.callMain(options(replayName));
        if (status !== 0) {
          // Bad options, an unreadable recording, or no WebGL: the program said why, below.
          close(status, "The hall could not open.");
          document.getElementById("loading").hidden = true;
          document.getElementById("about").classList.add("shown");
          return;
        }
        listen();
        requestAnimationFrame(frame);
      },
    };
    const script = document.createElement("script");
    script.textContent = new TextDecoder().decode(files.get("throngwick.js"));
    document.body.append(script);
  }

  start();
  return { state, nextFrame };
})();
