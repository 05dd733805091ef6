// A clip of what the page shows and plays: R, or the record button, starts one and stops it; a mark
// says it is recording and for how long; at the stop, or after a minute, the page offers it as
// throngwick-YYYYMMDD-HHMMSS.webm (local time at its start). The canvas's frames and the sound's
// output (platform/web/page/sound.js) go through the browser's MediaRecorder. R also goes to the
// program as any key does, where it does nothing, so a recorded visit keeps it.
"use strict";

const clip = (() => {
  const longestMs = 60000; // a clip's most
  const framesPerSecond = 30;
  // With the sound, under 15 MB a minute, as the desktop's clips.
  const bitsPerSecond = { video: 1600000, audio: 96000 };
  const codecs = ["vp9", "vp8"]; // the first the browser can encode
  const canvas = document.getElementById("canvas");
  const button = document.getElementById("clip-button");
  const mark = document.getElementById("clip-mark");
  const saved = document.getElementById("clip-saved");
  let recording = null; // { recorder, chunks, name, started, tap, ticker }

  function twoDigits(number) {
    return String(number).padStart(2, "0");
  }

  function nameAt(when) {
    return `throngwick-${when.getFullYear()}${twoDigits(when.getMonth() + 1)}` +
      `${twoDigits(when.getDate())}-${twoDigits(when.getHours())}${twoDigits(when.getMinutes())}` +
      `${twoDigits(when.getSeconds())}.webm`;
  }

  function show(elapsedMs) {
    const seconds = Math.floor(elapsedMs / 1000);
    mark.textContent = `Recording ${Math.floor(seconds / 60)}:${twoDigits(seconds % 60)}`;
  }

  function start() {
    if (typeof MediaRecorder === "undefined" || !canvas.captureStream) {
      saved.textContent = "This browser cannot record the canvas.";
      saved.hidden = false;
      return;
    }
    const stream = canvas.captureStream(framesPerSecond);
    const sound = window.Module && Module.sound;
    let tap = null;
    if (sound) sound.start(); // within the key or click that asked, as browsers require
    if (sound && sound.context) {
      tap = sound.context.createMediaStreamDestination();
      sound.output.connect(tap);
      for (const track of tap.stream.getAudioTracks()) stream.addTrack(track);
    }
    // A muted page's clip has no sound, and says so.
    const types = codecs.map((codec) => `video/webm;codecs=${codec}${tap ? ",opus" : ""}`);
    const mimeType = types.find((type) => MediaRecorder.isTypeSupported(type)) || "video/webm";
    const recorder = new MediaRecorder(stream, {
      mimeType, videoBitsPerSecond: bitsPerSecond.video, audioBitsPerSecond: bitsPerSecond.audio,
    });
    const current = { recorder, chunks: [], name: nameAt(new Date()), started: performance.now(),
                      tap };
    recorder.ondataavailable = (event) => {
      if (event.data.size) current.chunks.push(event.data);
    };
    recorder.onstop = () => offer(current);
    recording = current;
    recorder.start(1000);
    recording.ticker = setInterval(tick, 250);
    button.textContent = "■ Stop";
    button.setAttribute("aria-pressed", "true");
    show(0);
    mark.hidden = false;
    saved.hidden = true;
  }

  function tick() {
    const elapsed = performance.now() - recording.started;
    show(elapsed);
    if (elapsed >= longestMs || page.state.phase === "closed") stop();
  }

  function stop() {
    if (!recording) return;
    clearInterval(recording.ticker);
    recording.recorder.stop(); // its last data, then offer
    recording = null;
    button.textContent = "● Record";
    button.setAttribute("aria-pressed", "false");
    mark.hidden = true;
  }

  // The finished clip saved under its name, as a download the browser offers; a link stays too.
  function offer(done) {
    if (done.tap) Module.sound.output.disconnect(done.tap);
    const file = new Blob(done.chunks, { type: "video/webm" });
    const link = document.createElement("a");
    link.href = URL.createObjectURL(file);
    link.download = done.name;
    link.textContent = `Save ${done.name} (${(file.size / 1e6).toFixed(1)} MB)`;
    saved.replaceChildren(link);
    saved.hidden = false;
    link.click();
  }

  function toggle() {
    if (recording) stop();
    else start();
  }

  // The button only while the hall runs, or a clip is being recorded.
  setInterval(() => {
    button.hidden = page.state.phase !== "running" && !recording;
  }, 250);
  window.addEventListener("keydown", (event) => {
    if ((event.key === "r" || event.key === "R") && !event.repeat && !event.ctrlKey &&
        !event.metaKey && !event.altKey && page.state.phase === "running") toggle();
  });
  // The button keeps the keys with the canvas.
  button.addEventListener("mousedown", (event) => event.preventDefault());
  button.addEventListener("click", () => {
    if (page.state.phase === "running" || recording) toggle();
    canvas.focus();
  });
  return { toggle, recording: () => recording !== null };
})();
