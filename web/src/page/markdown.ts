// The Markdown of the language guide as HTML: the parts the guide uses
// (headings, paragraphs, lists, tables, fenced code, code spans, strong
// emphasis, links, "[//]: #" comments). Every text is escaped; nothing of the
// source reaches the page as markup.

export interface GuideExample {
  code: string;
  input: string; // from the paragraph "Input: `TEXT`" after the block; '' for none
}

export interface Rendered {
  html: string;
  headings: { level: number; text: string; id: string }[];
  examples: GuideExample[]; // the fenced cv blocks, by their data-example index
}

export function escapeHtml(text: string): string {
  return text.replace(/[&<>"']/g, (c) => `&#${c.charCodeAt(0)};`);
}

export function slug(text: string): string {
  return (
    text
      .toLowerCase()
      .replace(/[^a-z0-9]+/g, '-')
      .replace(/^-|-$/g, '') || 'section'
  );
}

// Code spans first (their text is literal), then links and strong emphasis.
export function inline(text: string): string {
  const parts = text.split(/(`[^`]*`)/);
  return parts
    .map((part) => {
      if (part.length >= 2 && part.startsWith('`') && part.endsWith('`'))
        return `<code>${escapeHtml(part.slice(1, -1))}</code>`;
      let html = escapeHtml(part);
      html = html.replace(/\*\*(.+?)\*\*/g, '<strong>$1</strong>');
      html = html.replace(/\[([^\]]*)\]\(([^)]*)\)/g, (_m, label: string, href: string) => {
        const example = /^example:([A-Za-z0-9_-]+)$/.exec(href);
        if (example) return `<a href="examples/${example[1]}.cv" data-example="${example[1]}">${label}</a>`;
        const safe = /^(https?:|#)/.test(href) ? href : '#';
        return `<a href="${safe}">${label}</a>`;
      });
      return html;
    })
    .join('');
}

function tableRow(line: string): string[] {
  return line
    .trim()
    .replace(/^\||\|$/g, '')
    .split('|')
    .map((cell) => cell.trim());
}

const inputLine = /^Input: (?:`([^`]*)`|none)$/;

// Heading ids begin with `idPrefix`, so that they stay apart from the page's own.
export function renderMarkdown(source: string, codeHtml: (code: string) => string = escapeHtml, idPrefix = ''): Rendered {
  const lines = source.replace(/\r\n?/g, '\n').split('\n');
  const out: string[] = [];
  const headings: Rendered['headings'] = [];
  const examples: GuideExample[] = [];
  const ids = new Set<string>();
  let i = 0;
  const isBlockStart = (line: string) =>
    /^(#{1,6} |```|\s*[-*] |\s*\d+\. |\|)/.test(line) || line.startsWith('[//]: #');
  while (i < lines.length) {
    const line = lines[i];
    if (line.trim() === '' || line.startsWith('[//]: #')) {
      ++i;
      continue;
    }
    const heading = /^(#{1,6}) (.*)$/.exec(line);
    if (heading) {
      const level = heading[1].length;
      const text = heading[2].trim();
      let id = idPrefix + slug(text);
      for (let n = 2; ids.has(id); ++n) id = `${idPrefix}${slug(text)}-${n}`;
      ids.add(id);
      headings.push({ level, text, id });
      out.push(`<h${level} id="${id}">${inline(text)}</h${level}>`);
      ++i;
      continue;
    }
    if (line.startsWith('```')) {
      const language = line.slice(3).trim();
      const code: string[] = [];
      for (++i; i < lines.length && !lines[i].startsWith('```'); ++i) code.push(lines[i]);
      ++i;
      const text = code.join('\n');
      if (language === 'cv') {
        let j = i;
        while (j < lines.length && lines[j].trim() === '') ++j;
        const given = inputLine.exec(lines[j] ?? '');
        const index = examples.push({ code: text, input: given?.[1] ?? '' }) - 1;
        out.push(
          `<div class="example"><pre><code>${codeHtml(text)}</code></pre>` +
            `<button type="button" data-load="${index}">Load this example</button></div>`,
        );
      } else {
        out.push(`<pre><code>${escapeHtml(text)}</code></pre>`);
      }
      continue;
    }
    if (line.startsWith('|')) {
      const rows: string[][] = [];
      for (; i < lines.length && lines[i].startsWith('|'); ++i)
        if (!/^\|[\s:|-]+\|?$/.test(lines[i])) rows.push(tableRow(lines[i]));
      const [head, ...body] = rows;
      out.push(
        '<table><thead><tr>' +
          head.map((c) => `<th scope="col">${inline(c)}</th>`).join('') +
          '</tr></thead><tbody>' +
          body.map((r) => '<tr>' + r.map((c) => `<td>${inline(c)}</td>`).join('') + '</tr>').join('') +
          '</tbody></table>',
      );
      continue;
    }
    const item = /^(\s*)([-*]|\d+\.) (.*)$/.exec(line);
    if (item) {
      const ordered = /\d/.test(item[2]);
      const items: string[] = [];
      while (i < lines.length) {
        const m = /^(\s*)([-*]|\d+\.) (.*)$/.exec(lines[i]);
        if (!m) break;
        const text = [m[3]];
        for (++i; i < lines.length && /^\s+\S/.test(lines[i]) && !/^\s*([-*]|\d+\.) /.test(lines[i]); ++i)
          text.push(lines[i].trim());
        items.push(`<li>${inline(text.join(' '))}</li>`);
      }
      const tag = ordered ? 'ol' : 'ul';
      out.push(`<${tag}>${items.join('')}</${tag}>`);
      continue;
    }
    const paragraph: string[] = [];
    for (; i < lines.length && lines[i].trim() !== '' && (paragraph.length === 0 || !isBlockStart(lines[i])); ++i)
      paragraph.push(lines[i].trim());
    out.push(`<p>${inline(paragraph.join(' '))}</p>`);
  }
  return { html: out.join('\n'), headings, examples };
}
