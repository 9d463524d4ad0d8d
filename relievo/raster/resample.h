// Nearest-sample resampling of a loaded source to a picture's size, for the preview's samples.
//
// Output row o shows the source row that covers it and output column j the source column that
// covers it, as spanEnd measures spans: the first source row (column) whose span reaches an
// output row (column) not yet covered takes it, and the last source row (column) also takes
// whatever lies beyond its span. Only the source rows that some output row shows are read.
#ifndef RELIEVO_RASTER_RESAMPLE_H
#define RELIEVO_RASTER_RESAMPLE_H

#include "raster/raster.h"

namespace relievo {

// Called with the source row shown by output rows first ... last, sampled at the output
// columns (`values`, outWidth of them, valid during the call). Calls for different rows may
// run at once on several threads: fn must only write what belongs to its own rows.
using ResampleFn = void (*)(const double* values, int outWidth, int first, int last, void* context);

// Resamples the whole of raster (its width x height values) to outWidth x outHeight, on every
// core the source allows, calling fn for the output rows of every source row read; output
// rows whose source row cannot be read (the source ends first) get no call. progress moves by
// perRow for every output row done, from the calling thread. 1 when the resampling ran (a
// source that could not be opened included, and one without values, which gives no rows); 0
// for an invalid record, a negative output size, or when memory for the plan is refused.
int rasterResample(RasterRec* raster, int outWidth, int outHeight, ResampleFn fn, void* context,
                   Progress progress, double perRow);

// The last of the m output samples that source sample i of n covers; m - 1 when n <= 0.
int spanEnd(int i, int n, int m);

}  // namespace relievo

#endif  // RELIEVO_RASTER_RESAMPLE_H
