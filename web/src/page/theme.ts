// Light or dark: the system's preference until the student flips the switch,
// which is kept. The colours are the desktop's, computed from its palettes.

import { cssVariables, darkPalette, lightPalette } from './colours';
import { storeTheme, storedTheme, type Theme } from './storage';

const system = window.matchMedia('(prefers-color-scheme: dark)');
const variables = { light: cssVariables(lightPalette), dark: cssVariables(darkPalette) };

function apply(dark: boolean, button: HTMLButtonElement): void {
  const root = document.documentElement;
  root.classList.toggle('dark', dark);
  for (const [name, value] of Object.entries(dark ? variables.dark : variables.light)) root.style.setProperty(name, value);
  button.setAttribute('aria-pressed', String(dark));
}

export function setUpTheme(button: HTMLButtonElement): void {
  let chosen: Theme = storedTheme();
  const isDark = () => (chosen === '' ? system.matches : chosen === 'dark');
  apply(isDark(), button);
  system.addEventListener('change', () => apply(isDark(), button));
  button.title = 'Dark colours on or off (the system’s choice until you switch)';
  button.addEventListener('click', () => {
    const dark = !isDark();
    // Back to following the system when the switch agrees with it.
    chosen = dark === system.matches ? '' : dark ? 'dark' : 'light';
    storeTheme(chosen);
    apply(dark, button);
  });
}
