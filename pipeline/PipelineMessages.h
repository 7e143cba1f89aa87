// PipelineMessages: the messages of the pipeline's public classes that more
// than one file throws, each text in one place. Internal to pipeline.
#ifndef QUILLMAP_PIPELINE_PIPELINEMESSAGES_H
#define QUILLMAP_PIPELINE_PIPELINEMESSAGES_H

inline const char* const kSourceRowsMissing =
    "Source rows do not cover the result rows in TResamplePlan::FillRows";
inline const char* const kGeoTIFFNotBuilt =
    "GeoTIFF is not built in TResampleFileTools::BilinearInterpolateFile";

#endif
