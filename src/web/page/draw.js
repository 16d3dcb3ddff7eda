// The page's side of the drawing surface: the module's canvas calls land here and are
// painted on the lesson's <canvas> at the device's pixel ratio. Coordinates are surface
// pixels; an integer names a pixel's centre, hence the half-pixel shift of the transform.
"use strict";

const qzarnDraw = (() => {
  let canvas = null;
  let ctx = null;
  const st = {};
  const hatchCache = new Map();
  const scratch = document.createElement("canvas");
  // The boxes of the texts of the last picture, for checks that compare pictures outside text.
  const textBoxes = [];

  function css(colour) {
    const c = st.notXor ? (~colour & 0xffffff) : colour;
    return "rgb(" + (c & 255) + "," + ((c >> 8) & 255) + "," + ((c >> 16) & 255) + ")";
  }

  // The documents name Windows fonts; the page asks for the free Japanese fonts that stand in
  // for them, then the browser's own Japanese fonts.
  function fontFamily(family) {
    const mincho = /明朝|Mincho/i.test(family);
    const proportional = /Ｐ|P(Gothic|Mincho)|UI|メイリオ|Meiryo/i.test(family);
    const stand = mincho
        ? (proportional ? '"IPAPMincho", "IPAMincho"' : '"IPAMincho", "IPAPMincho"')
        : (proportional ? '"IPAPGothic", "IPAGothic"' : '"IPAGothic", "IPAPGothic"');
    const generic = mincho ? '"Noto Serif CJK JP", serif' : '"Noto Sans CJK JP", sans-serif';
    return '"' + family.replace(/"/g, "") + '", ' + stand + ", " + generic;
  }

  const dashes = [[], [18, 6], [3, 3], [9, 6, 3, 6], [9, 3, 3, 3, 3, 3], []];

  function hatch(style, colour) {
    const key = style + ":" + colour + ":" + st.opaque + ":" + st.back + ":" + st.notXor;
    let pattern = hatchCache.get(key);
    if (pattern) return pattern;
    const c = document.createElement("canvas");
    c.width = c.height = 8;
    const g = c.getContext("2d");
    if (st.opaque) {
      g.fillStyle = css(st.back);
      g.fillRect(0, 0, 8, 8);
    }
    g.fillStyle = css(colour);
    // The desktop's eight-pixel hatches, repeated from the device origin.
    for (let i = 0; i < 8; ++i) {
      if (style === 2 || style === 6) g.fillRect(i, 3, 1, 1);
      if (style === 3 || style === 6) g.fillRect(3, i, 1, 1);
      if (style === 4 || style === 7) g.fillRect(i, i, 1, 1);
      if (style === 5 || style === 7) g.fillRect(7 - i, i, 1, 1);
    }
    pattern = ctx.createPattern(c, "repeat");
    pattern.setTransform(new DOMMatrix([1, 0, 0, 1, -0.5, -0.5]));
    hatchCache.set(key, pattern);
    return pattern;
  }

  function stroke(path) {
    if (st.penStyle === 5) return;
    ctx.strokeStyle = css(st.pen);
    ctx.lineWidth = Math.max(1, st.penWidth);
    ctx.setLineDash(dashes[st.penStyle] || []);
    ctx.lineCap = st.penWidth > 1 ? "round" : "butt";
    ctx.lineJoin = "round";
    if (path) ctx.stroke(path);
    else ctx.stroke();
  }

  // Long runs of lines (dotted grid lines, dash marks, curves that did not move) come back
  // unchanged on every redraw of a palette step or a drag. Their paths are kept from one
  // picture to the next and reused when every coordinate is the same, so the browser is not
  // handed each of thousands of segments again.
  let paths = new Map(), lastPaths = new Map();
  function lines(target, kind, xy) {
    const n = xy.length / 2;
    if (kind === 0) {
      for (let i = 0; i + 1 < n; i += 2) {
        target.moveTo(xy[2 * i], xy[2 * i + 1]);
        target.lineTo(xy[2 * i + 2], xy[2 * i + 3]);
      }
      return;
    }
    target.moveTo(xy[0], xy[1]);
    for (let i = 1; i < n; ++i) target.lineTo(xy[2 * i], xy[2 * i + 1]);
    if (n === 1) target.lineTo(xy[0], xy[1]);
  }
  function keptPath(kind, xy) {
    let h = kind * 7919 + xy.length;
    for (let i = 0; i < xy.length; ++i) h = (Math.imul(h, 31) + ((xy[i] * 64) | 0)) | 0;
    const key = kind + ":" + h;
    const kept = paths.get(key) || lastPaths.get(key);
    if (kept && kept.xy.length === xy.length) {
      let same = true;
      for (let i = 0; i < xy.length && same; ++i) same = kept.xy[i] === xy[i];
      if (same) {
        paths.set(key, kept);
        return kept.path;
      }
    }
    const path = new Path2D();
    lines(path, kind, xy);
    paths.set(key, {xy: xy.slice(), path});
    return path;
  }

  function fill() {
    if (st.brushStyle === 0) return;
    ctx.fillStyle = st.brushStyle === 1 ? css(st.brush) : hatch(st.brushStyle, st.brush);
    ctx.fill();
  }

  function applyClip() {
    ctx.restore();
    fontSet = "";
    ctx.save();
    if (st.clip) {
      const [l, t, r, b] = st.clip;
      ctx.beginPath();
      ctx.rect(l - 0.5, t - 0.5, r - l, b - t);
      ctx.clip();
    }
  }

  // A picture sets the same few fonts and measures the same labels (axis numbers, names) on
  // every redraw; the browser parses a font and shapes a text slowly, so both are kept.
  const families = new Map();
  const measured = new Map();
  let fontSet = "";
  function fontText() {
    let family = families.get(st.fontFamily);
    if (family === undefined) families.set(st.fontFamily, family = fontFamily(st.fontFamily));
    return (st.fontStyle & 2 ? "italic " : "") + (st.fontStyle & 1 ? "bold " : "") +
        Math.max(1, st.fontHeight) + "px " + family;
  }
  function useFont() {
    const font = st.font || (st.font = fontText());
    // The context forgets its font on restore(), so the one set is remembered until then.
    if (font !== fontSet) {
      ctx.font = font;
      fontSet = font;
    }
    return font;
  }

  function metrics(text) {
    const font = useFont();
    const key = font + "\n" + text;
    let result = measured.get(key);
    if (result) return result;
    const m = ctx.measureText(text);
    const ascent = Math.ceil(m.fontBoundingBoxAscent ?? st.fontHeight * 0.88);
    const descent = Math.ceil(m.fontBoundingBoxDescent ?? st.fontHeight * 0.12);
    result = [Math.round(m.width), ascent + descent, ascent];
    if (measured.size > 20000) measured.clear();
    measured.set(key, result);
    return result;
  }

  return {
    attach(element) {
      canvas = element;
      ctx = canvas.getContext("2d");
    },
    begin(w, h) {
      const ratio = window.devicePixelRatio || 1;
      if (canvas.width !== Math.round(w * ratio) || canvas.height !== Math.round(h * ratio)) {
        canvas.width = Math.round(w * ratio);
        canvas.height = Math.round(h * ratio);
      }
      // A narrow screen shows the whole picture smaller (max-width in the styles); the page
      // maps pointer positions back to surface pixels.
      canvas.style.width = w + "px";
      ctx.restore();
      fontSet = "";
      ctx.setTransform(1, 0, 0, 1, 0, 0);
      ctx.globalCompositeOperation = "source-over";
      ctx.fillStyle = "#fff";
      ctx.fillRect(0, 0, canvas.width, canvas.height);
      ctx.setTransform(ratio, 0, 0, ratio, 0.5 * ratio, 0.5 * ratio);
      ctx.save();
      textBoxes.length = 0;
      lastPaths = paths;
      paths = new Map();
      Object.assign(st, {pen: 0, penWidth: 1, penStyle: 0, brush: 0xffffff, brushStyle: 0,
                         opaque: false, back: 0xffffff, notXor: false, clip: null,
                         fontFamily: "", fontHeight: 16, fontStyle: 0, fontColour: 0, font: ""});
    },
    pen(colour, width, style) { Object.assign(st, {pen: colour, penWidth: width, penStyle: style}); },
    brush(style, colour) { Object.assign(st, {brushStyle: style, brush: colour}); },
    font(family, height, style, colour) {
      Object.assign(st, {fontFamily: family, fontHeight: height, fontStyle: style, fontColour: colour,
                         font: ""});
    },
    raster(notXor) {
      // NOT-XOR only erases what was drawn the same way; on the page's white picture the
      // difference of the inverted colour shows the same ink.
      st.notXor = !!notXor;
      ctx.globalCompositeOperation = notXor ? "difference" : "source-over";
    },
    background(opaque, colour) { st.opaque = !!opaque; st.back = colour; },
    clip(on, l, t, r, b) {
      st.clip = on ? [l, t, r, b] : null;
      const mode = ctx.globalCompositeOperation;
      applyClip();
      ctx.globalCompositeOperation = mode;
    },
    antialias() {},
    pixel(x, y, colour) {
      ctx.fillStyle = css(colour);
      ctx.fillRect(x - 0.5, y - 0.5, 1, 1);
    },
    // 0 separate lines (pairs of points), 1 polyline, 2 polygon, 3 rectangle outline.
    shape(kind, xy) {
      const n = xy.length / 2;
      if (n < 1) return;
      if ((kind === 0 || kind === 1) && n >= 64) {
        stroke(keptPath(kind, xy));
        return;
      }
      ctx.beginPath();
      if (kind === 0) {
        lines(ctx, 0, xy);
        stroke();
        return;
      }
      if (kind === 3) {
        const l = xy[0], t = xy[1], r = xy[4], b = xy[5];
        if (st.brushStyle !== 0) {
          ctx.fillStyle = st.brushStyle === 1 ? css(st.brush) : hatch(st.brushStyle, st.brush);
          ctx.fillRect(l - 0.5, t - 0.5, r - l + 1, b - t + 1);
        }
        ctx.rect(l, t, r - l, b - t);
        stroke();
        return;
      }
      lines(ctx, kind, xy);
      if (kind === 2) {
        ctx.closePath();
        fill();
      }
      stroke();
    },
    // 0 ellipse, 1 arc, 2 pie, 3 chord; right and bottom exclusive; degrees counter-clockwise.
    ellipse(kind, l, t, r, b, start, sweep) {
      const rx = Math.max(0, (r - 1 - l) / 2), ry = Math.max(0, (b - 1 - t) / 2);
      const cx = l + rx, cy = t + ry;
      ctx.beginPath();
      if (kind === 0) {
        ctx.ellipse(cx, cy, rx, ry, 0, 0, 2 * Math.PI);
      } else {
        const a0 = -start * Math.PI / 180, a1 = -(start + sweep) * Math.PI / 180;
        if (kind === 2) ctx.moveTo(cx, cy);
        ctx.ellipse(cx, cy, rx, ry, 0, a0, a1, sweep > 0);
        if (kind !== 1) ctx.closePath();
      }
      if (kind !== 1) fill();
      stroke();
    },
    text(x, y, text, h, v) {
      if (!text) return;
      const [w, height, ascent] = metrics(text);
      const left = h === 0 ? x : h === 1 ? x - w / 2 : x - w;
      const top = v === 0 ? y - height : v === 1 ? y - height / 2 : v === 2 ? y : y - ascent;
      textBoxes.push([left - 0.5, top - 0.5, w, height]);
      if (st.opaque) {
        ctx.fillStyle = css(st.back);
        ctx.fillRect(left - 0.5, top - 0.5, w, height);
      }
      ctx.fillStyle = css(st.fontColour);
      ctx.textBaseline = "alphabetic";
      ctx.fillText(text, left - 0.5, top - 0.5 + ascent);
      const line = (at) => ctx.fillRect(left - 0.5, top - 0.5 + at, w, Math.max(1, st.fontHeight / 14));
      if (st.fontStyle & 4) line(ascent + 1);
      if (st.fontStyle & 8) line(ascent - st.fontHeight * 0.3);
    },
    measure(text) { return metrics(text); },
    fontFamily(family) { return fontFamily(family); },
    textBoxes() { return textBoxes.slice(); },
    image(l, t, w, h, rgb, iw, ih) {
      scratch.width = iw;
      scratch.height = ih;
      const g = scratch.getContext("2d");
      const data = g.createImageData(iw, ih);
      for (let i = 0, j = 0; i < iw * ih; ++i, j += 3) {
        data.data[4 * i] = rgb[j];
        data.data[4 * i + 1] = rgb[j + 1];
        data.data[4 * i + 2] = rgb[j + 2];
        data.data[4 * i + 3] = 255;
      }
      g.putImageData(data, 0, 0);
      ctx.imageSmoothingEnabled = false;
      ctx.drawImage(scratch, l - 0.5, t - 0.5, w, h);
    },
  };
})();
