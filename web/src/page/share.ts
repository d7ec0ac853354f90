// Copy link and Make assignment link: the dialogs that put the program (or a
// whole assignment) into a link, and the assignment's title and task above
// the editor. The link's fragment holds everything (links.ts); nothing is
// sent anywhere.

import { linkFragment, type Link } from './links';
import { renderMarkdown } from './markdown';

// Mail programs and learning platforms may cut longer links.
export const longLink = 2000;

export interface ShareSource {
  name: string; // "Untitled" while the program has no file
  program: string;
  input: string;
  title: string; // the assignment's, when the program came with one
  task: string;
  suite?: string;
  suiteName?: string;
}

function byId<T extends HTMLElement>(id: string): T {
  return document.getElementById(id) as T;
}

function pageAddress(): string {
  return location.href.split('#')[0];
}

export function linkTo(link: Link): string {
  return pageAddress() + linkFragment(link);
}

function lengthNote(link: string): string {
  const note = `${link.length} characters.`;
  return link.length > longLink
    ? `${note} Some mail programs and learning platforms cut links longer than ${longLink} characters: check that it opens, or host the files beside the page (#assignment=PATH).`
    : note;
}

// The clipboard where the browser allows it, else the selected field and
// the browser's copy command.
async function copyField(field: HTMLInputElement, note: HTMLElement): Promise<void> {
  let copied = false;
  try {
    await navigator.clipboard.writeText(field.value);
    copied = true;
  } catch {
    field.focus();
    field.select();
    copied = document.execCommand('copy');
  }
  note.textContent = copied ? `Copied to the clipboard. ${lengthNote(field.value)}` : 'Copy the selected link with Ctrl+C.';
}

function fileName(name: string): string | undefined {
  return name === 'Untitled' ? undefined : name;
}

export class ShareDialogs {
  private readonly share = byId<HTMLDialogElement>('share-dialog');
  private readonly shareInput = byId<HTMLInputElement>('share-input');
  private readonly shareLink = byId<HTMLInputElement>('share-link');
  private readonly assign = byId<HTMLDialogElement>('assign-dialog');
  private readonly title = byId<HTMLInputElement>('assign-name');
  private readonly task = byId<HTMLTextAreaElement>('assign-task');
  private readonly assignLink = byId<HTMLInputElement>('assign-link');
  private source: ShareSource | null = null;

  constructor() {
    this.shareInput.addEventListener('change', () => this.showShareLink());
    byId('share-copy').addEventListener('click', () => copyField(this.shareLink, byId('share-note')));
    this.title.addEventListener('input', () => this.showAssignmentLink());
    this.task.addEventListener('input', () => this.showAssignmentLink());
    byId('assign-copy').addEventListener('click', () => copyField(this.assignLink, byId('assign-note')));
  }

  openShare(source: ShareSource): void {
    this.source = source;
    this.shareInput.disabled = source.input.trim() === '';
    if (this.shareInput.disabled) this.shareInput.checked = false;
    this.showShareLink();
    this.share.showModal();
    byId('share-copy').focus();
  }

  private showShareLink(): void {
    const s = this.source!;
    const input = this.shareInput.checked ? s.input : undefined;
    this.shareLink.value = linkTo({ kind: 'share', name: fileName(s.name) ?? '', program: s.program, input });
    byId('share-note').textContent = lengthNote(this.shareLink.value);
  }

  openAssignment(source: ShareSource): void {
    this.source = source;
    this.title.value = source.title || (fileName(source.name) ?? '').replace(/\.cv$/i, '');
    this.task.value = source.task;
    const lines = source.program.split('\n').length;
    byId('assign-parts').textContent =
      `Start program: the program in the editor (${lines} ${lines === 1 ? 'line' : 'lines'}). ` +
      (source.suite !== undefined
        ? `Test suite: ${source.suiteName ?? 'the open suite'}.`
        : 'Test suite: none. Open the assignment’s .cvtest first (Open, or drop it on the page), so that students can check their work.');
    this.showAssignmentLink();
    this.assign.showModal();
    this.title.focus();
  }

  private showAssignmentLink(): void {
    const s = this.source!;
    const title = this.title.value.trim() || 'Assignment';
    // A program without a file is named after its suite, so that the student's
    // Check and Save name it as the teacher's files are named.
    const name = fileName(s.name) ?? (s.suite !== undefined ? s.suiteName?.replace(/\.cvtest$/i, '.cv') : undefined) ?? '';
    this.assignLink.value = linkTo({ kind: 'assignment', title, task: this.task.value.trim(), name, program: s.program, suite: s.suite });
    byId('assign-note').textContent = lengthNote(this.assignLink.value);
  }
}

// The assignment's title and task above the editor; hidden without one.
export function showAssignment(assignment: { title: string; task: string } | undefined): void {
  const panel = byId('assignment');
  panel.hidden = !assignment;
  if (!assignment) return;
  byId('assignment-title').textContent = assignment.title;
  const task = byId('assignment-task');
  task.innerHTML = renderMarkdown(assignment.task, undefined, 'task-').html;
  // A task's program blocks are text to read, not examples to load.
  for (const button of task.querySelectorAll('button[data-load]')) button.remove();
  task.hidden = assignment.task === '';
}
