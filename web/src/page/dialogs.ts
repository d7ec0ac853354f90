// The page's smaller dialogs: a list to choose from (Examples, Recent) and
// the About box. Every dialog closes with Esc or its Close
// button and hands the focus back to where it was.

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
