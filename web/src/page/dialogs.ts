// The page's smaller dialogs: a list to choose from (Examples, Recent), the
// About box, and Check's results. Every dialog closes with Esc or its Close
// button and hands the focus back to where it was.

import type { CaseResult } from '../protocol';

export interface Choice {
  label: string;
  detail: string;
  choose(): void;
}

function byId<T extends HTMLElement>(id: string): T {
  return document.getElementById(id) as T;
}

export function setUpDialogs(): void {
  for (const dialog of document.querySelectorAll('dialog')) {
    for (const close of dialog.querySelectorAll('[data-close]')) close.addEventListener('click', () => dialog.close());
  }
}

export function showChoices(title: string, note: string, choices: Choice[]): void {
  const dialog = byId<HTMLDialogElement>('list-dialog');
  byId('list-title').textContent = title;
  byId('list-note').textContent = note;
  byId('list-items').replaceChildren(
    ...choices.map((choice) => {
      const item = document.createElement('li');
      const button = document.createElement('button');
      button.type = 'button';
      button.append(choice.label);
      const detail = document.createElement('span');
      detail.className = 'detail';
      detail.textContent = choice.detail;
      button.append(detail);
      button.addEventListener('click', () => {
        dialog.close();
        choice.choose();
      });
      item.append(button);
      return item;
    }),
  );
  dialog.showModal();
}

export function showAbout(): void {
  byId<HTMLDialogElement>('about-dialog').showModal();
}

export class CheckView {
  private readonly dialog = byId<HTMLDialogElement>('check-dialog');
  private readonly rows = byId('check-cases');
  private readonly summary = byId('check-summary');

  begin(suiteName: string): void {
    byId('check-title').textContent = `Check - ${suiteName}`;
    this.rows.replaceChildren();
    this.summary.textContent = 'checking ...';
    if (!this.dialog.open) this.dialog.showModal();
  }

  addCase(result: CaseResult): void {
    const row = document.createElement('tr');
    const cell = (content: string | Node, className = '') => {
      const td = document.createElement('td');
      td.append(content);
      if (className) td.className = className;
      row.append(td);
    };
    cell(result.passed ? 'PASS' : 'FAIL', result.passed ? 'pass' : 'fail');
    cell(result.name);
    cell(`${result.points}/${result.maxPoints}`);
    const details = document.createElement('pre');
    if (result.hidden) details.textContent = result.passed ? '' : 'a hidden case';
    else if (!result.passed)
      details.textContent = [
        `Input: ${result.input}`,
        `Expected: ${result.expected}`,
        `Output: ${result.output}`,
        result.error ? `Error: line ${result.error.line}: ${result.error.message}` : '',
        `Steps: ${result.steps}`,
      ]
        .filter(Boolean)
        .join('\n');
    cell(details);
    this.rows.append(row);
  }

  end(summary: string): void {
    this.summary.textContent = summary;
  }
}
