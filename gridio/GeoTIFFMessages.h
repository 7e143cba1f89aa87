// GeoTIFFMessages: the messages of the GeoTIFF reader and writer, each text in
// one place. Internal to gridio.
#ifndef QUILLMAP_GRIDIO_GEOTIFFMESSAGES_H
#define QUILLMAP_GRIDIO_GEOTIFFMESSAGES_H

// Reading.
inline const char* const kNotATiff =
    "File is not a TIFF file in TGeoTIFFFileTools::LoadGeoTIFFFile";
inline const char* const kCorruptDirectory =
    "TIFF directory is corrupt in TGeoTIFFFileTools::LoadGeoTIFFFile";
inline const char* const kNoPixels =
    "Image has no columns or no rows in TGeoTIFFFileTools::LoadGeoTIFFFile";
inline const char* const kUnreadBitDepth = "Unsupported bits per sample (8, 16, 32 and 64 are "
                                           "read) in TGeoTIFFFileTools::LoadGeoTIFFFile";
inline const char* const kUnreadFloatSize = "Unsupported floating-point samples (32- and 64-bit "
                                            "are read) in TGeoTIFFFileTools::LoadGeoTIFFFile";
inline const char* const kUnreadSampleFormat = "Unsupported sample format (complex or unknown) in "
                                               "TGeoTIFFFileTools::LoadGeoTIFFFile";
inline const char* const kUnreadPalette =
    "Unsupported palette image in TGeoTIFFFileTools::LoadGeoTIFFFile";
inline const char* const kUnreadContiguousSamples =
    "Unsupported layout: several samples per pixel stored together in "
    "TGeoTIFFFileTools::LoadGeoTIFFFile";
inline const char* const kNoSuchBand = "Band does not exist in TGeoTIFFFileTools::LoadGeoTIFFFile";
inline const char* const kDataBeyondEnd =
    "Strip or tile lies beyond the end of the file in TGeoTIFFFileTools::LoadGeoTIFFFile";
inline const char* const kSharedData =
    "Strips or tiles share their bytes in TGeoTIFFFileTools::LoadGeoTIFFFile";
inline const char* const kImageBeyondData =
    "Image is larger than its data can hold in TGeoTIFFFileTools::LoadGeoTIFFFile";
inline const char* const kCorruptData =
    "Strip or tile is corrupt in TGeoTIFFFileTools::LoadGeoTIFFFile";
inline const char* const kNoGeoreference =
    "No georeferencing (ModelPixelScale with ModelTiepoint, or ModelTransformation) in "
    "TGeoTIFFFileTools::LoadGeoTIFFFile";
inline const char* const kMalformedGeoreference =
    "Georeferencing tag is malformed or not finite in TGeoTIFFFileTools::LoadGeoTIFFFile";
inline const char* const kSeveralTiepoints =
    "Georeferencing by several tiepoints is not read in TGeoTIFFFileTools::LoadGeoTIFFFile";
inline const char* const kRotatedGrid =
    "Grid is rotated (ModelTransformation has rotation terms) in "
    "TGeoTIFFFileTools::LoadGeoTIFFFile";
inline const char* const kNotNorthUp =
    "Grid is not north-up (its rows run northward or its columns westward) in "
    "TGeoTIFFFileTools::LoadGeoTIFFFile";
inline const char* const kCellsNotSquare =
    "Cells are not square (x and y cell sizes differ) in TGeoTIFFFileTools::LoadGeoTIFFFile";
inline const char* const kNoDataTagNotANumber =
    "GDAL_NODATA tag is not a number in TGeoTIFFFileTools::LoadGeoTIFFFile";
inline const char* const kMalformedKeysOnRead =
    "GeoKey directory is malformed in TGeoTIFFFileTools::LoadGeoTIFFFile";

// Writing.
inline const char* const kWriteWithoutAxes =
    "Map has no axes in TGeoTIFFFileTools::WriteGeoTIFFFile";
inline const char* const kWriteNotRectangular =
    "Map is not rectangular in TGeoTIFFFileTools::WriteGeoTIFFFile";
inline const char* const kStripNotCompressed =
    "Strip could not be compressed in TGeoTIFFFileTools::WriteGeoTIFFFile";
inline const char* const kWriteTooLarge =
    "Map is too large for a GeoTIFF file in TGeoTIFFFileTools::WriteGeoTIFFFile";
inline const char* const kMalformedKeysOnWrite =
    "GeoKey directory is malformed in TGeoTIFFFileTools::WriteGeoTIFFFile";

#endif
