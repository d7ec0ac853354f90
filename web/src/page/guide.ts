// The Language Guide: docs/guide.md rendered in a dialog, with its contents,
// a search that marks every match (Enter or F3 to the next, Shift+F3 to the
// one before) and its examples loadable into the editor.

import { escapeHtml, renderMarkdown, type GuideExample, type Rendered } from './markdown';
import { keysTable } from './keys';
import { declaredStacks, scanLine } from './syntax';

export function highlightCode(code: string): string {
  const lines = code.split('\n');
  const stacks = declaredStacks(lines);
  return lines
    .map((line) => {
      // Nested spans where tokens overlap (a marker inside a comment).
      const tokens = scanLine(line, stacks).sort((a, b) => a.start - b.start);
      let html = '';
      let at = 0;
      const open: number[] = [];
      const closeUntil = (pos: number) => {
        while (open.length && open[open.length - 1] <= pos) {
          const end = open.pop()!;
          html += escapeHtml(line.slice(at, end)) + '</span>';
          at = end;
        }
      };
      for (const token of tokens) {
        closeUntil(token.start);
        html += escapeHtml(line.slice(at, token.start)) + `<span class="cv-${token.kind}">`;
        at = token.start;
        open.push(token.start + token.length);
      }
      closeUntil(Infinity);
      return html + escapeHtml(line.slice(at));
    })
    .join('\n');
}

export interface GuideHooks {
  loadExample(example: GuideExample): void;
  loadBundled(name: string): void;
}

export class Guide {
  private readonly dialog = document.getElementById('guide-dialog') as HTMLDialogElement;
  private readonly text = document.getElementById('guide-text')!;
  private readonly search = document.getElementById('guide-search') as HTMLInputElement;
  private readonly found = document.getElementById('guide-found')!;
  private rendered: Rendered | null = null;
  private marks: HTMLElement[] = [];
  private current = -1;
  private markedFor = '';

  constructor(
    private readonly source: Promise<string>,
    private readonly hooks: GuideHooks,
  ) {
    this.search.addEventListener('input', () => this.mark());
    this.search.addEventListener('keydown', (event) => {
      if (event.key === 'Enter') {
        event.preventDefault();
        this.step(event.shiftKey ? -1 : 1);
      }
    });
    this.dialog.addEventListener('keydown', (event) => {
      if (event.key === 'F3') {
        event.preventDefault();
        this.step(event.shiftKey ? -1 : 1);
      } else if ((event.ctrlKey || event.metaKey) && event.key.toLowerCase() === 'f') {
        event.preventDefault();
        this.search.focus();
        this.search.select();
      }
    });
    this.text.addEventListener('click', (event) => this.clicked(event));
  }

  private async render(): Promise<void> {
    if (this.rendered) return;
    this.rendered = renderMarkdown(await this.source, highlightCode, 'guide-');
    this.text.innerHTML = this.rendered.html;
    // The page's own notes (index.html's template) and keys come first.
    const notes = (document.getElementById('page-notes') as HTMLTemplateElement).content.cloneNode(true);
    this.text.prepend(keysTable(), notes);
    const contents = document.getElementById('guide-contents')!;
    const link = (id: string, text: string) => Object.assign(document.createElement('a'), { href: `#${id}`, textContent: text });
    contents.replaceChildren(
      link('guide-keys', 'Keys of this page'),
      link('page-notes-title', 'About this page'),
      ...this.rendered.headings
        .filter((h) => h.level === 2)
        .map((h) => {
          const link = document.createElement('a');
          link.href = `#${h.id}`;
          link.textContent = h.text;
          return link;
        }),
    );
    contents.addEventListener('click', (event) => {
      const link = (event.target as HTMLElement).closest('a');
      if (!link) return;
      event.preventDefault();
      this.scrollTo(link.getAttribute('href')!.slice(1));
    });
  }

  private scrollTo(id: string): void {
    const target = document.getElementById(id);
    if (!target) return;
    target.scrollIntoView({ block: 'start' });
    target.setAttribute('tabindex', '-1');
    target.focus({ preventScroll: true });
  }

  // Opens at the section of `keyword` (a statement or condition) when given.
  async open(keyword = ''): Promise<void> {
    await this.render();
    if (!this.dialog.open) this.dialog.showModal();
    const heading = keyword ? this.rendered!.headings.find((h) => h.level === 3 && new RegExp(`^${keyword}\\b`).test(h.text)) : undefined;
    if (heading) this.scrollTo(heading.id);
    else this.text.focus();
  }

  close(): void {
    this.dialog.close();
  }

  isOpen(): boolean {
    return this.dialog.open;
  }

  private clicked(event: MouseEvent): void {
    const target = event.target as HTMLElement;
    const load = target.closest<HTMLElement>('[data-load]');
    if (load && this.rendered) {
      this.hooks.loadExample(this.rendered.examples[Number(load.dataset.load)]);
      this.close();
      return;
    }
    const bundled = target.closest<HTMLAnchorElement>('a[data-example]');
    if (bundled) {
      event.preventDefault();
      this.hooks.loadBundled(bundled.dataset.example!);
      this.close();
      return;
    }
    const inner = target.closest<HTMLAnchorElement>('a[href^="#"]');
    if (inner) {
      event.preventDefault();
      this.scrollTo(inner.getAttribute('href')!.slice(1));
    }
  }

  private unmark(): void {
    for (const mark of this.marks) mark.replaceWith(...mark.childNodes);
    this.text.normalize();
    this.marks = [];
    this.current = -1;
  }

  // Marks every match of the search text, letter case ignored.
  private mark(): void {
    this.unmark();
    const wanted = this.search.value.toLowerCase();
    this.markedFor = wanted;
    if (!wanted) {
      this.found.textContent = '';
      return;
    }
    const walker = document.createTreeWalker(this.text, NodeFilter.SHOW_TEXT);
    const nodes: Text[] = [];
    for (let node = walker.nextNode(); node; node = walker.nextNode()) nodes.push(node as Text);
    for (const node of nodes) {
      let rest = node;
      for (let at = rest.data.toLowerCase().indexOf(wanted); at >= 0; at = rest.data.toLowerCase().indexOf(wanted)) {
        const match = rest.splitText(at);
        rest = match.splitText(wanted.length);
        const mark = document.createElement('mark');
        match.replaceWith(mark);
        mark.append(match);
        this.marks.push(mark);
      }
    }
    this.found.textContent = this.marks.length ? `${this.marks.length} found` : 'Not found';
    if (this.marks.length) this.step(1);
  }

  private step(direction: number): void {
    if (this.search.value.toLowerCase() !== this.markedFor) return this.mark();
    if (!this.marks.length) return;
    this.marks[this.current]?.classList.remove('current');
    this.current = (this.current + direction + this.marks.length) % this.marks.length;
    const mark = this.marks[this.current];
    mark.classList.add('current');
    mark.scrollIntoView({ block: 'center' });
    this.found.textContent = `${this.current + 1} of ${this.marks.length}`;
  }
}
