// The program's sound in the browser: Web Audio under the sound bank's back end
// (platform/web/SoundOutputWeb.cpp calls these). The page decodes the samples before the program
// starts, and the music is loaded when it is first asked for; the output itself opens at the
// first click or key, as browsers allow, and closes with the hall.
"use strict";

class ThrongwickSound {
  // decoded: each sound's path (audio/NAME.mp3) to its AudioBuffer; one that failed is absent.
  // load: a path to a promise of its bytes, null when it cannot be had (the page says why).
  constructor(decoded, load) {
    this.decoded = decoded;
    this.load = load;
    this.closed = false;
    this.samples = [];
    this.channels = [];
    this.context = null;
    this.output = null; // every sound goes through it: its gain is 0 while silenced
    this.silent = false;
    this.paused = false;
    this.musicBuffer = null;
    this.music = null;
    this.peaks = { time: -1, word: 0 };
  }

  // An offline context decodes without an output, so nothing waits for a click. A sound that
  // cannot be decoded is named (by report) and left out.
  static async decode(bytes, path, report = ThrongwickSound.report) {
    try {
      return await new OfflineAudioContext(2, 1, 44100).decodeAudioData(bytes.slice().buffer);
    } catch (error) {
      if (report) report(`${path} could not be decoded; the hall goes on without it.`);
      return null;
    }
  }

  open(channelCount) {
    this.channels = new Array(channelCount).fill(null);
    return 1;
  }

  loadSample(index, path) {
    this.samples[index] = this.decoded.get(path.replace(/^\.\//, "")) || null;
    return this.samples[index] ? 1 : 0;
  }

  // The first click or key: the browser lets the output open now. At the desktop's rate, so the
  // music's level is measured over the same 1024 frames.
  start() {
    if (this.context || this.closed) return;
    try {
      this.context = new AudioContext({ sampleRate: 44100 });
    } catch (error) {
      this.context = new AudioContext();
    }
    this.output = this.context.createGain();
    this.output.connect(this.context.destination);
    this.silence(this.silent);
    this.pause(this.paused);
    if (this.musicBuffer) this.startMusicNow();
  }

  // A new playback from the start, cutting off the channel's old one; silent before the output
  // opens.
  play(channel, sample, loop) {
    this.stop(channel);
    if (!this.context || this.closed) return 1;
    const source = this.context.createBufferSource();
    source.buffer = this.samples[sample];
    source.loop = loop;
    source.connect(this.output);
    const playback = { source, ended: false };
    source.onended = () => { playback.ended = true; };
    source.start();
    this.channels[channel] = playback;
    return 1;
  }

  stop(channel) {
    const playback = this.channels[channel];
    if (playback && !playback.ended) {
      playback.source.onended = null;
      playback.source.stop();
    }
    this.channels[channel] = null;
  }

  playing(channel) {
    const playback = this.channels[channel];
    return playback && !playback.ended ? 1 : 0;
  }

  // The music starts once it is loaded and decoded; until then its level is 0.
  startMusic(path) {
    this.stopMusic();
    this.musicBuffer = null;
    const name = path.replace(/^\.\//, "");
    const wanted = (this.musicWanted = {});
    const ready = this.decoded.has(name) ? Promise.resolve(this.decoded.get(name))
      : this.load(name).then((bytes) => bytes && ThrongwickSound.decode(bytes, name));
    ready.then((buffer) => {
      if (!buffer || wanted !== this.musicWanted || this.closed) return;
      this.decoded.set(name, buffer);
      this.musicBuffer = buffer;
      if (this.context) this.startMusicNow();
    });
    return 1;
  }

  stopMusic() {
    if (!this.music) return;
    this.music.source.onended = null;
    this.music.source.stop();
    this.music.source.disconnect();
    this.music = null;
  }

  // The hall has closed: every sound stops, and the output with it.
  close() {
    this.closed = true;
    this.channels.forEach((playback, channel) => this.stop(channel));
    this.stopMusic();
    if (this.context) this.context.close();
  }

  // The music to the output, and through a splitter to a meter for each side: the meters hear
  // the music alone.
  startMusicNow() {
    const context = this.context;
    const source = context.createBufferSource();
    source.buffer = this.musicBuffer;
    source.loop = true;
    source.connect(this.output);
    const splitter = context.createChannelSplitter(2);
    source.connect(splitter);
    const last = this.musicBuffer.numberOfChannels - 1;
    const meters = [0, 1].map((side) => {
      const meter = context.createAnalyser();
      meter.fftSize = 1024;
      splitter.connect(meter, Math.min(side, last));
      return meter;
    });
    source.start();
    this.music = { source, meters, block: new Float32Array(1024) };
  }

  // Nothing is heard, or all is again; the music plays on unheard, and its meters hear it.
  silence(silent) {
    this.silent = silent;
    if (this.output) this.output.gain.value = silent ? 0 : 1;
  }

  // Every playback and the music held where they are, or going on from there; the meters' peaks
  // wait with the output's clock.
  pause(paused) {
    this.paused = paused;
    if (!this.context || this.closed) return;
    if (paused) this.context.suspend();
    else this.context.resume();
  }

  // Each side's peak over the latest 1024 frames, 0 to 32768: left in the low 16 bits, right in
  // the high. Read once for each block the output renders.
  musicPeaks() {
    if (!this.music) return 0;
    const time = this.context.currentTime;
    if (time === this.peaks.time) return this.peaks.word;
    const [left, right] = this.music.meters.map((meter) => {
      meter.getFloatTimeDomainData(this.music.block);
      let peak = 0;
      for (const value of this.music.block) peak = Math.max(peak, Math.abs(value));
      return Math.min(32768, Math.round(peak * 32768));
    });
    this.peaks = { time, word: (left | (right << 16)) >>> 0 };
    return this.peaks.word;
  }
}
