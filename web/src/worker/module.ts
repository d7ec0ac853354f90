// The compiled machine (build-wasm/web/corvane.js and corvane.wasm) as the
// worker sees it: the functions of src/wasm/exports.cpp and the runtime's
// memory views. Pointers are byte offsets into the module's memory.

export interface CorvaneModule {
  HEAPU8: Uint8Array;
  HEAPU16: Uint16Array;
  _malloc(size: number): number;
  _free(pointer: number): void;
  UTF8ToString(pointer: number): string;

  _cv_text(): number;
  _cv_text_size(): number;
  _cv_bytes(): number;
  _cv_bytes_size(): number;
  _cv_check(text: number, units: number): number;
  _cv_start(text: number, units: number, input: number, inputUnits: number, mode: number, cursorLine: number): number;
  _cv_go(budget: number): number;
  _cv_fault(): number;
  _cv_status(): number;
  _cv_steps(): number;
  _cv_line(): number;
  _cv_take_output(): number;
  _cv_output(): number;
  _cv_output_size(): number;
  _cv_continue(): void;
  _cv_next(): void;
  _cv_back(): number;
  _cv_break(): void;
  _cv_stop(): void;
  _cv_set_stop(line: number, on: number): void;
  _cv_pause(): number;
  _cv_ending(): number;
  _cv_stack_slice(stack: number, from: number, count: number): number;
  _cv_decode(bytes: number, size: number): number;
  _cv_encode(text: number, units: number, encoding: number, bom: number): number;
  _cv_suite(suite: number, suiteSize: number, name: number, nameSize: number, program: number, units: number): number;
  _cv_suite_case(index: number): number;
  _cv_suite_summary(): number;
}

export interface ModuleOptions {
  // The module's bytes, when the caller has them (tests under Node); otherwise
  // the glue fetches corvane.wasm beside itself.
  wasmBinary?: ArrayBuffer | Uint8Array;
  locateFile?: (path: string, scriptDirectory: string) => string;
}

// What corvane.js defines: CorvaneModule(options) resolves once the module is
// compiled and instantiated.
export type ModuleFactory = (options?: ModuleOptions) => Promise<CorvaneModule>;
