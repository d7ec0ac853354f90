// The explanation of a message, read from the guide's Messages section: its
// level-3 headings are the messages' texts (an N standing for any number) and
// the paragraphs under each explain it. The guide stays their one source.

export interface Explanation {
  heading: string;
  paragraphs: string[]; // Markdown, each joined into one line
}

function escapeRegExp(text: string): string {
  return text.replace(/[.*+?^${}()|[\]\\]/g, '\\$&');
}

function headingPattern(heading: string): RegExp {
  return new RegExp('^' + heading.split(/\bN\b/).map(escapeRegExp).join('-?[0-9]+') + '$');
}

export class Explanations {
  private readonly entries: (Explanation & { pattern: RegExp })[] = [];

  constructor(guide: string) {
    let inMessages = false;
    let current: (Explanation & { pattern: RegExp }) | null = null;
    let paragraph: string[] = [];
    const closeParagraph = () => {
      if (current && paragraph.length) current.paragraphs.push(paragraph.join(' '));
      paragraph = [];
    };
    for (const raw of guide.split('\n')) {
      const line = raw.replace(/\r$/, '');
      const level = /^(#+)( |$)/.exec(line)?.[1].length ?? 0;
      if (level === 1 || level === 2) {
        closeParagraph();
        current = null;
        inMessages = line.slice(level).trim() === 'Messages';
      } else if (!inMessages) {
        continue;
      } else if (level === 3) {
        closeParagraph();
        const heading = line.slice(4).trim();
        current = { heading, paragraphs: [], pattern: headingPattern(heading) };
        this.entries.push(current);
      } else if (line.trim() === '') {
        closeParagraph();
      } else if (current) {
        paragraph.push(line.trim());
      }
    }
    closeParagraph();
  }

  // By the guide's heading (the worker's `key`) or else by the message's text.
  find(message: string, key = ''): Explanation | null {
    const wanted = message.trim();
    return (
      this.entries.find((e) => key !== '' && e.heading === key) ??
      this.entries.find((e) => wanted !== '' && e.pattern.test(wanted)) ??
      null
    );
  }
}
