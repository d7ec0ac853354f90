// The colours the page draws, derived from a palette as the desktop derives
// them, so that they stay readable on a light and on a dark one: relative
// luminance and contrast ratio as web content accessibility defines them
// (4.5:1 for text, 3:1 for marks).

export const textContrast = 4.5;
export const markContrast = 3;

export type Rgb = [number, number, number]; // 0..1 each

export interface Palette {
  window: Rgb;
  windowText: Rgb;
  base: Rgb;
  text: Rgb;
  highlight: Rgb;
  highlightedText: Rgb;
  link: Rgb;
}

export function hex(colour: string): Rgb {
  const n = parseInt(colour.slice(1), 16);
  return [((n >> 16) & 255) / 255, ((n >> 8) & 255) / 255, (n & 255) / 255];
}

export function css(c: Rgb): string {
  return '#' + c.map((v) => Math.round(v * 255).toString(16).padStart(2, '0')).join('');
}

// The desktop's light (Fusion's) and dark palettes.
export const lightPalette: Palette = {
  window: hex('#efefef'),
  windowText: hex('#000000'),
  base: hex('#ffffff'),
  text: hex('#000000'),
  highlight: hex('#308cc6'),
  highlightedText: hex('#ffffff'),
  link: hex('#0000ff'),
};

export const darkPalette: Palette = {
  window: hex('#353538'),
  windowText: hex('#e6e6e6'),
  base: hex('#242426'),
  text: hex('#e6e6e6'),
  highlight: hex('#3a72bd'),
  highlightedText: hex('#ffffff'),
  link: hex('#7cb8ff'),
};

function linear(channel: number): number {
  return channel <= 0.04045 ? channel / 12.92 : Math.pow((channel + 0.055) / 1.055, 2.4);
}

export function luminance(c: Rgb): number {
  return 0.2126 * linear(c[0]) + 0.7152 * linear(c[1]) + 0.0722 * linear(c[2]);
}

export function contrast(a: Rgb, b: Rgb): number {
  const x = luminance(a) + 0.05;
  const y = luminance(b) + 0.05;
  return Math.max(x, y) / Math.min(x, y);
}

// Colours are measured as they will be drawn: 8 bits a channel.
function quantized(c: Rgb): Rgb {
  return c.map((v) => Math.round(v * 255) / 255) as Rgb;
}

export function mix(a: Rgb, b: Rgb, share: number): Rgb {
  return quantized([0, 1, 2].map((i) => a[i] * share + b[i] * (1 - share)) as Rgb);
}

// Hue 0..360, saturation and lightness 0..255, as the desktop gives them.
function fromHsl(hue: number, saturation: number, lightness: number): Rgb {
  const s = saturation / 255;
  const l = lightness / 255;
  const k = (n: number) => (n + hue / 30) % 12;
  const a = s * Math.min(l, 1 - l);
  const f = (n: number) => l - a * Math.max(-1, Math.min(k(n) - 3, 9 - k(n), 1));
  return quantized([f(0), f(8), f(4)]);
}

function toHsl(c: Rgb): [number, number, number] {
  const max = Math.max(...c);
  const min = Math.min(...c);
  const l = (max + min) / 2;
  if (max === min) return [0, 0, l * 255];
  const d = max - min;
  const s = l > 0.5 ? d / (2 - max - min) : d / (max + min);
  let h = max === c[0] ? (c[1] - c[2]) / d + (c[1] < c[2] ? 6 : 0) : max === c[1] ? (c[2] - c[0]) / d + 2 : (c[0] - c[1]) / d + 4;
  h *= 60;
  return [h, s * 255, l * 255];
}

// The luminance at which black and white contrast equally with a colour.
const midLuminance = 0.1791;

function reaches(colour: Rgb, backgrounds: Rgb[], ratio: number): boolean {
  return backgrounds.every((b) => contrast(colour, b) >= ratio);
}

// `colour` with its hue and saturation kept and its lightness moved away from
// the backgrounds (all of similar lightness: the first decides the direction)
// until it reaches `ratio` against each of them, or black or white.
export function withContrast(colour: Rgb, backgrounds: Rgb[], ratio: number): Rgb {
  if (backgrounds.length === 0 || reaches(colour, backgrounds, ratio)) return colour;
  const lighten = luminance(backgrounds[0]) < midLuminance;
  const [h, s, l] = toHsl(colour);
  let level = Math.round(l);
  let result = colour;
  while (lighten ? level < 255 : level > 0) {
    level += lighten ? 1 : -1;
    result = fromHsl(h, s, level);
    if (reaches(result, backgrounds, ratio)) break;
  }
  return result;
}

export function isDark(p: Palette): boolean {
  return luminance(p.base) < luminance(p.text);
}

export function pausedLineBand(p: Palette): Rgb {
  let share = 0.34;
  let band = mix(p.highlight, p.base, share);
  while (share > 0.1 && contrast(p.text, band) < textContrast + 2) {
    share -= 0.02;
    band = mix(p.highlight, p.base, share);
  }
  return band;
}

export function errorColour(p: Palette): Rgb {
  const dark = isDark(p);
  return withContrast(fromHsl(0, dark ? 200 : 220, dark ? 150 : 110), [p.base, p.window], textContrast);
}

function errorLineBand(p: Palette): Rgb {
  let share = 0.3;
  let band = mix(errorColour(p), p.window, share);
  while (share > 0.1 && contrast(p.windowText, band) < textContrast) {
    share -= 0.02;
    band = mix(errorColour(p), p.window, share);
  }
  return band;
}

function markColour(p: Palette, hue: number): Rgb {
  const dark = isDark(p);
  return withContrast(fromHsl(hue, dark ? 160 : 200, dark ? 150 : 80), [p.base], textContrast);
}

function subdued(behind: Rgb, text: Rgb): Rgb {
  return withContrast(mix(text, behind, 0.6), [behind], textContrast);
}

// The page's colours as custom properties.
export function cssVariables(p: Palette): Record<string, string> {
  const dark = isDark(p);
  const band = pausedLineBand(p);
  const readable = (c: Rgb) => withContrast(c, [p.base, band], textContrast);
  const tint = (hue: number) => readable(fromHsl(hue, dark ? 170 : 210, dark ? 170 : 85));
  const changed = withContrast(p.highlight, [p.highlightedText], textContrast);
  const v: Record<string, Rgb> = {
    window: p.window,
    'window-text': p.windowText,
    base: p.base,
    text: p.text,
    highlight: p.highlight,
    'highlighted-text': p.highlightedText,
    link: withContrast(p.link, [p.base, p.window], textContrast),
    'paused-band': band,
    'syntax-keyword': tint(220),
    'syntax-label': tint(290),
    'syntax-number': tint(25),
    'syntax-stack': tint(160),
    'syntax-comment': readable(mix(p.text, p.base, 0.55)),
    'syntax-break': tint(0),
    error: errorColour(p),
    'error-line-band': errorLineBand(p),
    'error-line-text': withContrast(p.windowText, [errorLineBand(p)], textContrast),
    pass: markColour(p, 120),
    fail: markColour(p, 0),
    'changed-background': changed,
    'changed-text': p.highlightedText,
    subdued: subdued(p.base, p.text),
    'subdued-window': subdued(p.window, p.windowText),
    border: withContrast(mix(p.text, p.base, 0.45), [p.base, p.window], markContrast),
    focus: withContrast(p.highlight, [p.base, p.window], markContrast),
    'button-face': mix(p.window, p.base, 0.5),
    'field-hover': mix(p.highlight, p.base, 0.12),
  };
  return Object.fromEntries(Object.entries(v).map(([k, c]) => [`--${k}`, css(c)]));
}
