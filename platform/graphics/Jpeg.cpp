#include "platform/graphics/Jpeg.h"

#include <QtCore/QtGlobal>

#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <jpeglib.h>
#include <jerror.h>

namespace lp {

namespace {

// --- libjpeg glue --------------------------------------------------------------------
//
// libjpeg reports fatal errors through error_exit, which must not return.
// The default one calls exit(); ours formats the message and longjmps back
// to the function that started the work. That function (RunDecode,
// RunEncode) holds only plain C structures, and everything between it and
// the library is plain code without destructors, so the jump skips no
// destructor. The C++ wrappers around them turn a failure into an exception.

// Huffman coding spends at least one bit on every 8 x 8 block of the most
// finely sampled component in its first scan (a DC code is at least one bit
// long), so the data of W x H pixels is at least W x H / 512 bytes long. A
// header declaring more pixels than its data could hold is refused before
// anything is allocated. Arithmetic coding can spend less than a bit on a
// block of a plain area; it gets a wider allowance, which still bounds the
// memory by the data.
constexpr uint64_t kHuffmanPixelsPerByte = 8 * 64;
constexpr uint64_t kArithmeticPixelsPerByte = 1024 * 64;
// The decoder's own working memory (the coefficients of a progressive or
// multi-scan image keep two bytes per sample of every component).
constexpr long kMaxDecoderMemory = 1024L * 1024 * 1024;
// A progressive file may hold any number of scans, each a pass over the whole
// coefficient buffer; a few hundred bytes of empty scans could keep the
// decoder busy for minutes. Real files have fewer than twenty.
constexpr int kMaxScans = 1000;

struct TErrorManager {
    jpeg_error_mgr Pub;  // first: libjpeg sees only this part
    std::jmp_buf Jump;
    char Message[JMSG_LENGTH_MAX];
    bool Truncated;      // libjpeg met the end of the data before the image ended
};

TErrorManager& ErrorsOf(j_common_ptr cinfo)
{
    return *reinterpret_cast<TErrorManager*>(cinfo->err);
}

[[noreturn]] void ErrorExit(j_common_ptr cinfo)
{
    TErrorManager& errors = ErrorsOf(cinfo);
    // Past kMaxDecoderMemory libjpeg asks for a backing store on disk, which
    // this build has none of.
    if (cinfo->err->msg_code == JERR_NO_BACKING_STORE || cinfo->err->msg_code == JERR_OUT_OF_MEMORY)
        std::snprintf(errors.Message, sizeof errors.Message, "Not enough memory for the JPEG image");
    else
        (*cinfo->err->format_message)(cinfo, errors.Message);
    std::longjmp(errors.Jump, 1);
}

// Fails with a text of our own.
[[noreturn]] void Fail(j_common_ptr cinfo, const char* text)
{
    TErrorManager& errors = ErrorsOf(cinfo);
    std::snprintf(errors.Message, sizeof errors.Message, "%s", text);
    std::longjmp(errors.Jump, 1);
}

// Warnings (level -1) about damaged data are normal in files found in the
// wild and are ignored, except the end of the data arriving too early: the
// library then invents the rest of the image, and a truncated file must not
// pass for a good one. Trace messages (level >= 0) are dropped.
void EmitMessage(j_common_ptr cinfo, int level)
{
    if (level >= 0)
        return;
    TErrorManager& errors = ErrorsOf(cinfo);
    cinfo->err->num_warnings++;
    if (cinfo->err->msg_code == JWRN_JPEG_EOF && !errors.Truncated) {
        errors.Truncated = true;
        (*cinfo->err->format_message)(cinfo, errors.Message);
    }
}

// Nothing goes to standard error.
void OutputMessage(j_common_ptr) {}

void InstallErrorManager(TErrorManager& errors)
{
    std::memset(&errors, 0, sizeof errors);
    jpeg_std_error(&errors.Pub);
    errors.Pub.error_exit = ErrorExit;
    errors.Pub.emit_message = EmitMessage;
    errors.Pub.output_message = OutputMessage;
}

void LimitScans(j_common_ptr cinfo)
{
    if (cinfo->is_decompressor && reinterpret_cast<j_decompress_ptr>(cinfo)->input_scan_number > kMaxScans)
        Fail(cinfo, "Too many scans in the JPEG data");
}

bool TooLarge(uint64_t width, uint64_t height)
{
    constexpr auto side = static_cast<uint64_t>(MaxPictureSide);
    constexpr auto pixels = static_cast<uint64_t>(MaxPicturePixels);
    return width > side || height > side || width * height > pixels;
}

// The header declares more pixels than dataSize bytes of its coding can
// hold (see kHuffmanPixelsPerByte).
bool TooLargeForItsData(j_decompress_ptr cinfo, uint64_t dataSize)
{
    const uint64_t perByte = cinfo->arith_code ? kArithmeticPixelsPerByte : kHuffmanPixelsPerByte;
    return uint64_t(cinfo->image_width) * cinfo->image_height > dataSize * perByte;
}

// Bytes in the order of a Format_RGB32 pixel (0xAARRGGBB as a 32-bit word).
constexpr J_COLOR_SPACE kRgb32Space = Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? JCS_EXT_BGRA : JCS_EXT_ARGB;

// --- Decoding ------------------------------------------------------------------------

struct TDecodeJob {
    const unsigned char* Data;
    unsigned long Size;
    unsigned ScaleDenominator;  // 1, 2, 4 or 8
    bool Fast;
    bool Gray;
    QImage* Image;              // receives the pixels (Format_RGB32)
    bool OneChannel;            // the file holds one channel
    char Message[JMSG_LENGTH_MAX];
};

QRgb CmykPixel(const JSAMPLE* p, bool inverted)
{
    // Files with an APP14 colour-transform marker store the inks inverted
    // (0 = full ink); the others store them plainly.
    const int c = inverted ? p[0] : 255 - p[0];
    const int m = inverted ? p[1] : 255 - p[1];
    const int y = inverted ? p[2] : 255 - p[2];
    const int k = inverted ? p[3] : 255 - p[3];
    return qRgb(c * k / 255, m * k / 255, y * k / 255);
}

// The work of RunDecode, between its setjmp and the end; fails only through
// libjpeg's error_exit or Fail (both longjmp back to RunDecode).
void DecodeBody(j_decompress_ptr cinfo, TDecodeJob& job)
{
    jpeg_mem_src(cinfo, job.Data, job.Size);
    jpeg_read_header(cinfo, TRUE);
    if (TooLarge(cinfo->image_width, cinfo->image_height))
        Fail(reinterpret_cast<j_common_ptr>(cinfo), "The JPEG image is too large");
    if (TooLargeForItsData(cinfo, job.Size))
        Fail(reinterpret_cast<j_common_ptr>(cinfo), "The JPEG data is too short for the image size it declares");
    job.OneChannel = cinfo->num_components == 1;

    cinfo->scale_num = 1;
    cinfo->scale_denom = job.ScaleDenominator;
    cinfo->dct_method = job.Fast ? JDCT_IFAST : JDCT_ISLOW;
    cinfo->do_fancy_upsampling = job.Fast ? FALSE : TRUE;
    const bool cmyk = cinfo->jpeg_color_space == JCS_CMYK || cinfo->jpeg_color_space == JCS_YCCK;
    if (cmyk)
        cinfo->out_color_space = JCS_CMYK;  // converted below: libjpeg has no CMYK to RGB
    else if (job.Gray)
        cinfo->out_color_space = JCS_GRAYSCALE;
    else
        cinfo->out_color_space = kRgb32Space;

    jpeg_start_decompress(cinfo);
    const unsigned width = cinfo->output_width;
    const unsigned components = static_cast<unsigned>(cinfo->output_components);
    *job.Image = QImage(static_cast<int>(width), static_cast<int>(cinfo->output_height), QImage::Format_RGB32);
    if (job.Image->isNull())
        Fail(reinterpret_cast<j_common_ptr>(cinfo), "Not enough memory for the JPEG image");
    const bool direct = cinfo->out_color_space == kRgb32Space;
    JSAMPARRAY buffer = direct ? nullptr
                               : (*cinfo->mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(cinfo), JPOOL_IMAGE,
                                                             width * components, 1);
    while (cinfo->output_scanline < cinfo->output_height) {
        QRgb* out = reinterpret_cast<QRgb*>(job.Image->scanLine(static_cast<int>(cinfo->output_scanline)));
        if (direct) {
            JSAMPROW row = reinterpret_cast<JSAMPROW>(out);
            jpeg_read_scanlines(cinfo, &row, 1);
            continue;
        }
        if (jpeg_read_scanlines(cinfo, buffer, 1) != 1)
            continue;
        const JSAMPLE* in = buffer[0];
        for (unsigned x = 0; x < width; ++x) {
            if (cmyk) {
                const QRgb rgb = CmykPixel(in + 4 * x, cinfo->saw_Adobe_marker);
                const int gray = qGray(rgb);
                out[x] = job.Gray ? qRgb(gray, gray, gray) : rgb;
            } else {
                out[x] = qRgb(in[x], in[x], in[x]);
            }
        }
    }
    jpeg_finish_decompress(cinfo);
    TErrorManager& errors = ErrorsOf(reinterpret_cast<j_common_ptr>(cinfo));
    if (errors.Truncated)
        std::longjmp(errors.Jump, 1);  // the message was formatted when it was raised
}

bool RunDecode(TDecodeJob& job)
{
    jpeg_decompress_struct cinfo;
    TErrorManager errors;
    jpeg_progress_mgr progress;
    std::memset(&cinfo, 0, sizeof cinfo);
    std::memset(&progress, 0, sizeof progress);
    InstallErrorManager(errors);
    cinfo.err = &errors.Pub;
    progress.progress_monitor = LimitScans;
    if (setjmp(errors.Jump)) {
        std::memcpy(job.Message, errors.Message, sizeof job.Message);
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_create_decompress(&cinfo);
    cinfo.mem->max_memory_to_use = kMaxDecoderMemory;
    cinfo.progress = &progress;
    DecodeBody(&cinfo, job);
    jpeg_destroy_decompress(&cinfo);
    return true;
}

// Decodes JPEG data into Format_RGB32 pixels; raises EInvalidGraphic.
QImage DecodeJpeg(const QByteArray& data, unsigned scaleDenominator, bool fast, bool gray, bool* oneChannel)
{
    QImage image;
    TDecodeJob job;
    std::memset(&job, 0, sizeof job);
    job.Data = reinterpret_cast<const unsigned char*>(data.constData());
    job.Size = static_cast<unsigned long>(data.size());
    job.ScaleDenominator = scaleDenominator;
    job.Fast = fast;
    job.Gray = gray;
    job.Image = &image;
    if (!RunDecode(job))
        throw EInvalidGraphic(std::string("JPEG error: ") + job.Message);
    if (oneChannel)
        *oneChannel = job.OneChannel;
    return image;
}

// --- Encoding ------------------------------------------------------------------------

// A destination that collects the compressed bytes in a growing malloc'd
// buffer. The buffer pointer stays in this structure at every moment, so the
// caller frees it whether compression ends or fails. (jpeg_mem_dest keeps a
// buffer it has grown to itself until compression ends, so a failure part-way
// would leak it.)
struct TMemoryDestination {
    jpeg_destination_mgr Pub;  // first: libjpeg sees only this part
    unsigned char* Buffer;
    size_t Capacity;
    size_t Size;
};

TMemoryDestination& DestinationOf(j_compress_ptr cinfo)
{
    return *reinterpret_cast<TMemoryDestination*>(cinfo->dest);
}

void InitDestination(j_compress_ptr cinfo)
{
    TMemoryDestination& dest = DestinationOf(cinfo);
    dest.Capacity = 64 * 1024;
    dest.Buffer = static_cast<unsigned char*>(std::malloc(dest.Capacity));
    if (!dest.Buffer)
        ERREXIT1(cinfo, JERR_OUT_OF_MEMORY, 0);
    dest.Pub.next_output_byte = dest.Buffer;
    dest.Pub.free_in_buffer = dest.Capacity;
}

// Called when the whole buffer is full: doubles it.
boolean EmptyOutputBuffer(j_compress_ptr cinfo)
{
    TMemoryDestination& dest = DestinationOf(cinfo);
    if (dest.Capacity > SIZE_MAX / 2)
        ERREXIT1(cinfo, JERR_OUT_OF_MEMORY, 1);
    const size_t capacity = dest.Capacity * 2;
    auto* grown = static_cast<unsigned char*>(std::realloc(dest.Buffer, capacity));
    if (!grown)
        ERREXIT1(cinfo, JERR_OUT_OF_MEMORY, 2);
    dest.Buffer = grown;
    dest.Pub.next_output_byte = grown + dest.Capacity;
    dest.Pub.free_in_buffer = capacity - dest.Capacity;
    dest.Capacity = capacity;
    return TRUE;
}

void TermDestination(j_compress_ptr cinfo)
{
    TMemoryDestination& dest = DestinationOf(cinfo);
    dest.Size = dest.Capacity - dest.Pub.free_in_buffer;
}

struct TEncodeJob {
    const QImage* Image;  // Format_RGB32
    int Quality;
    bool Gray;
    bool Progressive;
    TMemoryDestination Destination;
    char Message[JMSG_LENGTH_MAX];
};

void EncodeBody(j_compress_ptr cinfo, TEncodeJob& job)
{
    job.Destination.Pub.init_destination = InitDestination;
    job.Destination.Pub.empty_output_buffer = EmptyOutputBuffer;
    job.Destination.Pub.term_destination = TermDestination;
    cinfo->dest = &job.Destination.Pub;

    cinfo->image_width = static_cast<JDIMENSION>(job.Image->width());
    cinfo->image_height = static_cast<JDIMENSION>(job.Image->height());
    cinfo->input_components = 4;
    cinfo->in_color_space = kRgb32Space;
    jpeg_set_defaults(cinfo);
    if (job.Gray)
        jpeg_set_colorspace(cinfo, JCS_GRAYSCALE);
    jpeg_set_quality(cinfo, job.Quality, TRUE);
    // At high qualities the colour is kept at full resolution: thin coloured
    // lines of charts lose their colour when it is averaged over 2 x 2 pixels.
    if (!job.Gray && job.Quality >= 90) {
        for (int i = 0; i < cinfo->num_components; ++i) {
            cinfo->comp_info[i].h_samp_factor = 1;
            cinfo->comp_info[i].v_samp_factor = 1;
        }
    }
    if (job.Progressive)
        jpeg_simple_progression(cinfo);

    jpeg_start_compress(cinfo, TRUE);
    while (cinfo->next_scanline < cinfo->image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(job.Image->constScanLine(static_cast<int>(cinfo->next_scanline)));
        jpeg_write_scanlines(cinfo, &row, 1);
    }
    jpeg_finish_compress(cinfo);
}

bool RunEncode(TEncodeJob& job)
{
    jpeg_compress_struct cinfo;
    TErrorManager errors;
    std::memset(&cinfo, 0, sizeof cinfo);
    InstallErrorManager(errors);
    cinfo.err = &errors.Pub;
    if (setjmp(errors.Jump)) {
        std::memcpy(job.Message, errors.Message, sizeof job.Message);
        jpeg_destroy_compress(&cinfo);
        std::free(job.Destination.Buffer);
        job.Destination.Buffer = nullptr;
        return false;
    }
    jpeg_create_compress(&cinfo);
    EncodeBody(&cinfo, job);
    jpeg_destroy_compress(&cinfo);
    return true;
}

// Compresses an image (any format; alpha dropped); raises EInvalidGraphic.
QByteArray EncodeJpeg(const QImage& image, int quality, bool gray, bool progressive)
{
    if (TooLarge(static_cast<uint64_t>(image.width()), static_cast<uint64_t>(image.height())))
        throw EInvalidGraphic("JPEG error: The image is too large");
    const QImage pixels = image.convertToFormat(QImage::Format_RGB32);
    if (pixels.isNull())
        throw EInvalidGraphic("JPEG error: Not enough memory for the JPEG image");
    TEncodeJob job;
    std::memset(&job, 0, sizeof job);
    job.Image = &pixels;
    job.Quality = quality;
    job.Gray = gray;
    job.Progressive = progressive;
    if (!RunEncode(job))
        throw EInvalidGraphic(std::string("JPEG error: ") + job.Message);
    QByteArray data(reinterpret_cast<const char*>(job.Destination.Buffer),
                    static_cast<qsizetype>(job.Destination.Size));
    std::free(job.Destination.Buffer);
    return data;
}

unsigned ScaleDenominator(TJPEGScale scale)
{
    switch (scale) {
    case TJPEGImage::jsHalf:
        return 2;
    case TJPEGImage::jsQuarter:
        return 4;
    case TJPEGImage::jsEighth:
        return 8;
    case TJPEGImage::jsFullSize:
        break;
    }
    return 1;
}

// Sets a field to a new value and redoes the work that depends on it; when
// the work fails the field gets its old value back. True when it changed.
template <class T, class Redo>
bool UpdateSetting(T& field, T value, Redo redo)
{
    if (field == value)
        return false;
    const T old = field;
    field = value;
    try {
        redo();
    } catch (...) {
        field = old;
        throw;
    }
    return true;
}

} // namespace

// --- TJPEGImage ----------------------------------------------------------------------

TJPEGImage::TJPEGImage() = default;

TJPEGImage::~TJPEGImage() = default;

void TJPEGImage::SetCompressionQuality(int value)
{
    if (value < 1 || value > 100)
        RaiseRangeError("JPEG compression quality %d is outside 1 .. 100", {ArgText(value)});
    if (UpdateSetting(FCompressionQuality, value, [this] { Compress(); }))
        Changed();
}

void TJPEGImage::SetGrayscale(bool value)
{
    if (UpdateSetting(FGrayscale, value, [this] { Compress(); }))
        Changed();
}

void TJPEGImage::SetProgressiveEncoding(bool value)
{
    if (UpdateSetting(FProgressiveEncoding, value, [this] { Compress(); }))
        Changed();
}

void TJPEGImage::SetPerformance(TJPEGPerformance value)
{
    if (UpdateSetting(FPerformance, value, [this] { Decode(); }))
        Changed();
}

void TJPEGImage::SetScale(TJPEGScale value)
{
    if (UpdateSetting(FScale, value, [this] { Decode(); }))
        Changed();
}

bool TJPEGImage::Empty() const
{
    return FData.isEmpty();
}

int TJPEGImage::Width() const
{
    return FImage.width();
}

int TJPEGImage::Height() const
{
    return FImage.height();
}

void TJPEGImage::Draw(TCanvas& canvas, const TRect& rect) const
{
    if (FImage.isNull())
        return;
    canvas.Handle().DrawImage(rect, FImage);
}

void TJPEGImage::LoadFromStream(QIODevice& stream)
{
    const QByteArray data = stream.readAll();
    bool oneChannel = false;
    QImage image = DecodeJpeg(data, ScaleDenominator(FScale), FPerformance == jpBestSpeed, FGrayscale, &oneChannel);
    FData = data;
    FImage = std::move(image);
    FSource = QImage();
    if (oneChannel)
        FGrayscale = true;
    Changed();
}

void TJPEGImage::SaveToStream(QIODevice& stream) const
{
    if (Empty())
        throw EInvalidGraphic("Cannot save an empty JPEG image");
    if (stream.write(FData) != FData.size())
        throw EInvalidGraphic("Cannot write the JPEG image: " + stream.errorString().toStdString());
}

QImage TJPEGImage::ToImage() const
{
    return FImage;
}

void TJPEGImage::SetImage(const QImage& image)
{
    if (image.isNull()) {
        FData.clear();
        FImage = QImage();
        FSource = QImage();
        Changed();
        return;
    }
    const QImage source = image.convertToFormat(QImage::Format_RGB32);
    const QByteArray data = EncodeJpeg(source, FCompressionQuality, FGrayscale, FProgressiveEncoding);
    QImage decoded = DecodeJpeg(data, ScaleDenominator(FScale), FPerformance == jpBestSpeed, FGrayscale, nullptr);
    FData = data;
    FImage = std::move(decoded);
    FSource = source;
    Changed();
}

void TJPEGImage::Compress()
{
    if (Empty())
        return;
    // A loaded file is compressed again from its full-size colour pixels.
    const QImage source = FSource.isNull() ? DecodeJpeg(FData, 1, false, false, nullptr) : FSource;
    const QByteArray data = EncodeJpeg(source, FCompressionQuality, FGrayscale, FProgressiveEncoding);
    QImage decoded = DecodeJpeg(data, ScaleDenominator(FScale), FPerformance == jpBestSpeed, FGrayscale, nullptr);
    FData = data;
    FImage = std::move(decoded);
    FSource = source;
}

void TJPEGImage::Decode()
{
    if (Empty())
        return;
    FImage = DecodeJpeg(FData, ScaleDenominator(FScale), FPerformance == jpBestSpeed, FGrayscale, nullptr);
}

void TJPEGImage::Assign(const TPersistent* Source)
{
    if (!Source) {
        SetImage(QImage());
        return;
    }
    if (const auto* jpeg = qobject_cast<const TJPEGImage*>(Source)) {
        if (jpeg == this)
            return;
        FData = jpeg->FData;
        FImage = jpeg->FImage;
        FSource = jpeg->FSource;
        FCompressionQuality = jpeg->FCompressionQuality;
        FGrayscale = jpeg->FGrayscale;
        FProgressiveEncoding = jpeg->FProgressiveEncoding;
        FPerformance = jpeg->FPerformance;
        FScale = jpeg->FScale;
        FTransparent = jpeg->FTransparent;
        Changed();
        return;
    }
    if (const auto* graphic = qobject_cast<const TGraphic*>(Source)) {
        SetImage(graphic->ToImage());
        return;
    }
    TGraphic::Assign(Source);
}

void TJPEGImage::AssignTo(TPersistent* Dest) const
{
    if (auto* bitmap = qobject_cast<TBitmap*>(Dest)) {
        bitmap->SetImage(FImage);
        return;
    }
    TGraphic::AssignTo(Dest);
}

} // namespace lp
