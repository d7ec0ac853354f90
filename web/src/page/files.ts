// Files in and out: Open through the browser's file picker (or a file
// dropped on the page), Save through the File System Access API where the
// browser has it (writing back to the file opened) or as a download. The
// bytes are turned into text and back by the worker, with the desktop's rules.

interface FileHandle {
  name: string;
  getFile(): Promise<File>;
  createWritable(): Promise<{ write(data: BufferSource | Blob): Promise<void>; close(): Promise<void> }>;
}

interface PickerWindow {
  showOpenFilePicker?: (options: object) => Promise<FileHandle[]>;
  showSaveFilePicker?: (options: object) => Promise<FileHandle>;
}

const pickerTypes = [
  { description: 'Corvane files', accept: { 'text/plain': ['.cv'] } },
  { description: 'Test suites', accept: { 'text/plain': ['.cvtest'] } },
];

export interface OpenedFile {
  name: string;
  bytes: Uint8Array;
  handle: FileHandle | null;
}

function pickers(): PickerWindow {
  return window as unknown as PickerWindow;
}

function aborted(error: unknown): boolean {
  return error instanceof DOMException && error.name === 'AbortError';
}

// The file the student picks; null when the picker was closed.
export async function pickFile(input: HTMLInputElement): Promise<OpenedFile | null> {
  const open = pickers().showOpenFilePicker;
  if (open) {
    try {
      const [handle] = await open({ types: pickerTypes, excludeAcceptAllOption: false, multiple: false });
      const file = await handle.getFile();
      return { name: file.name, bytes: new Uint8Array(await file.arrayBuffer()), handle };
    } catch (error) {
      if (aborted(error)) return null;
      throw error;
    }
  }
  return new Promise((resolve, reject) => {
    input.value = '';
    input.onchange = async () => {
      const file = input.files?.[0];
      if (!file) return resolve(null);
      try {
        resolve({ name: file.name, bytes: new Uint8Array(await file.arrayBuffer()), handle: null });
      } catch (error) {
        reject(error);
      }
    };
    input.click();
  });
}

export async function readDropped(file: File): Promise<OpenedFile> {
  return { name: file.name, bytes: new Uint8Array(await file.arrayBuffer()), handle: null };
}

export function download(name: string, bytes: Uint8Array): void {
  const url = URL.createObjectURL(new Blob([bytes as BlobPart], { type: 'application/octet-stream' }));
  const link = document.createElement('a');
  link.href = url;
  link.download = name;
  link.hidden = true;
  document.body.append(link);
  link.click();
  link.remove();
  window.setTimeout(() => URL.revokeObjectURL(url), 60_000);
}

// Writes the bytes: to `handle` when given, else to a file the student picks
// where the browser can, else as a download. Answers the handle written to
// (null for a download), or undefined when the student cancelled.
export async function writeFile(name: string, bytes: Uint8Array, handle: FileHandle | null): Promise<FileHandle | null | undefined> {
  let target = handle;
  const save = pickers().showSaveFilePicker;
  if (!target && save) {
    try {
      target = await save({ suggestedName: name, types: pickerTypes.slice(0, 1) });
    } catch (error) {
      if (aborted(error)) return undefined;
      throw error;
    }
  }
  if (!target) {
    download(name, bytes);
    return null;
  }
  const writable = await target.createWritable();
  await writable.write(bytes as BufferSource);
  await writable.close();
  return target;
}

export type { FileHandle };
