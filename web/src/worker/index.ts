// The worker's parts without the worker, for tests and benchmarks under Node.
export { Controller, OutputEveryMs, ProgressEveryMs, SliceMs, type ControllerHost } from './controller';
export { Engine, Status, isFault, type Ending, type Fault, type RunStatus, type SuiteSummary } from './engine';
export type { CorvaneModule, ModuleFactory, ModuleOptions } from './module';
