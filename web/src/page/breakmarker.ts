// The "<BREAK>" marker of a line: what a gutter click or Ctrl+B changes. A
// run starts with exactly the lines that hold one as its breakpoints.

const marker = '<BREAK>';

function markerAt(line: string): number {
  return line.search(/<break>/i);
}

export function hasBreakMarker(line: string): boolean {
  return markerAt(line) >= 0;
}

// One edit of a line: remove `remove` characters at `pos`, then insert `insert` there.
export interface LineEdit {
  pos: number;
  remove: number;
  insert: string;
}

// The edit that toggles the line's marker. A line without one gets
// " // <BREAK>" (or " <BREAK>" at the end of its comment); a marked line loses
// its first marker together with what adding it would have brought, so that
// toggling twice gives the line back unchanged.
export function toggleBreakEdit(line: string): LineEdit {
  const size = line.length;
  const comment = line.indexOf('//');
  const at = markerAt(line);
  if (at < 0) {
    if (comment < 0) return { pos: size, remove: 0, insert: ' // ' + marker };
    // An empty comment takes the marker without a blank: removing it then
    // leaves "//" as it was.
    if (comment + 2 === size) return { pos: size, remove: 0, insert: marker };
    return { pos: size, remove: 0, insert: ' ' + marker };
  }
  let start = at;
  const end = at + marker.length;
  const atEnd = line.slice(end).trim() === '';
  // " // <BREAK>" at the end of a line: the whole comment was the marker.
  if (atEnd && start >= 3 && line.slice(start - 3, start) === '// ' && start - 3 === comment) {
    start -= 3;
    if (start > 0 && (line[start - 1] === ' ' || line[start - 1] === '\t')) --start;
  } else if (start > 0 && line[start - 1] === ' ') {
    --start;
  }
  return { pos: start, remove: end - start, insert: '' };
}

export function applied(line: string, edit: LineEdit): string {
  return line.slice(0, edit.pos) + edit.insert + line.slice(edit.pos + edit.remove);
}
