#include "bench/BenchRatios.h"
#include "loaders/NetCdfFile.h"

#include <benchmark/benchmark.h>

#include <netcdf.h>

#include <QFile>

#include <sys/resource.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <limits>
#include <string>
#include <vector>

// The NetCDF loader (reader process, frames, values in the parent) against reading the same
// records with libnetcdf directly, on a packed gridded file: short T(time, lat, lon) with a scale
// factor and an offset, one record of 500 x 1000 points (1 MB) per time step. The file's size in
// MB is QELMAR_NETCDF_BENCH_MB (1024 by default); it is written to /tmp once and reused.

namespace {

constexpr std::size_t latitudes = 500, longitudes = 1000;
constexpr std::size_t recordValues = latitudes * longitudes;

std::size_t fileMegabytes() {
    const char* text = std::getenv("QELMAR_NETCDF_BENCH_MB");
    const long megabytes = text ? std::atol(text) : 1024;
    return megabytes > 0 ? static_cast<std::size_t>(megabytes) : 1024;
}

std::size_t records() {
    return std::max<std::size_t>(1, fileMegabytes() * 1000000 / (recordValues * sizeof(short)));
}

bool ok(int status) {
    return status == NC_NOERR;
}

bool writePackedFile(const std::string& path) {
    int file = 0, time = 0, lat = 0, lon = 0, variable = 0;
    if (!ok(nc_create(path.c_str(), NC_CLOBBER | NC_64BIT_OFFSET, &file)))
        return false;
    const double scale = 0.01, offset = 20;
    const short fill = -32767;
    bool written = ok(nc_def_dim(file, "time", NC_UNLIMITED, &time)) &&
                   ok(nc_def_dim(file, "lat", latitudes, &lat)) &&
                   ok(nc_def_dim(file, "lon", longitudes, &lon));
    const int dimensions[] = {time, lat, lon};
    written = written && ok(nc_def_var(file, "T", NC_SHORT, 3, dimensions, &variable)) &&
              ok(nc_put_att_double(file, variable, "scale_factor", NC_DOUBLE, 1, &scale)) &&
              ok(nc_put_att_double(file, variable, "add_offset", NC_DOUBLE, 1, &offset)) &&
              ok(nc_put_att_short(file, variable, "_FillValue", NC_SHORT, 1, &fill)) && ok(nc_enddef(file));
    std::vector<short> record(recordValues);
    for (std::size_t step = 0; written && step < records(); ++step) {
        for (std::size_t point = 0; point < recordValues; ++point)
            record[point] = static_cast<short>((point * 7 + step * 13) % 20000 - 10000);
        const std::size_t start[] = {step, 0, 0}, count[] = {1, latitudes, longitudes};
        written = ok(nc_put_vara_short(file, variable, start, count, record.data()));
    }
    return ok(nc_close(file)) && written;
}

const std::string& packedFile() {
    static const std::string path = [] {
        const std::string file = "/tmp/qelmar-netcdf-bench-" + std::to_string(fileMegabytes()) + "mb.nc";
        if (QFile::exists(QString::fromStdString(file)))
            return file;
        const std::string partial = file + ".part";
        if (!writePackedFile(partial) || std::rename(partial.c_str(), file.c_str()) != 0)
            return std::string();
        return file;
    }();
    return path;
}

// kB of /proc/self/status's field, e.g. "VmHWM".
double statusKilobytes(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::string key = std::string(field) + ":";
    while (std::getline(status, line)) {
        if (line.rfind(key, 0) == 0)
            return std::atof(line.c_str() + key.size());
    }
    return 0;
}

// The peak resident set from here on, measured against the resident set now.
class PeakGrowth {
public:
    PeakGrowth() {
        std::ofstream("/proc/self/clear_refs") << "5";
        m_start = statusKilobytes("VmRSS");
    }
    double megabytes() const { return (statusKilobytes("VmHWM") - m_start) / 1024.0; }

private:
    double m_start = 0;
};

double loadedMegabytes() {
    return static_cast<double>(records() * recordValues * sizeof(double)) / (1024.0 * 1024.0);
}

void BM_NetCdfLoaderPackedGrid(benchmark::State& state) {
    const std::string& path = packedFile();
    if (path.empty()) {
        state.SkipWithError("cannot write the packed file in /tmp");
        return;
    }
    qelmar::standin::NetCdfLimits limits;
    limits.maxValues = std::numeric_limits<std::size_t>::max() / 16;
    limits.reader.time = std::chrono::minutes(30);
    double peak = 0;
    for (auto _ : state) {
        const PeakGrowth growth;
        const auto load = qelmar::standin::readNetCdf(path, {"T"}, limits);
        benchmark::DoNotOptimize(load.file.values.values.data());
        peak = std::max(peak, growth.megabytes());
    }
    rusage children{};
    getrusage(RUSAGE_CHILDREN, &children);
    state.counters["loaded_MB"] = loadedMegabytes();
    state.counters["peak_growth_MB"] = peak;
    state.counters["memory_ratio"] = peak / loadedMegabytes();
    state.counters["reader_peak_RSS_MB"] = static_cast<double>(children.ru_maxrss) / 1024.0;
}

// The same records read one at a time, unpacked with the fill value compared first.
void BM_NetCdfLibraryPackedGrid(benchmark::State& state) {
    const std::string& path = packedFile();
    if (path.empty()) {
        state.SkipWithError("cannot write the packed file in /tmp");
        return;
    }
    double peak = 0;
    for (auto _ : state) {
        const PeakGrowth growth;
        int file = 0, variable = 0;
        double scale = 1, offset = 0, fill = 0;
        if (!ok(nc_open(path.c_str(), NC_NOWRITE, &file)) || !ok(nc_inq_varid(file, "T", &variable)) ||
            !ok(nc_get_att_double(file, variable, "scale_factor", &scale)) ||
            !ok(nc_get_att_double(file, variable, "add_offset", &offset)) ||
            !ok(nc_get_att_double(file, variable, "_FillValue", &fill))) {
            state.SkipWithError("cannot read the packed file");
            return;
        }
        std::vector<std::vector<double>> steps(records());
        for (std::size_t step = 0; step < records(); ++step) {
            std::vector<double>& values = steps[step];
            values.resize(recordValues);
            const std::size_t start[] = {step, 0, 0}, count[] = {1, latitudes, longitudes};
            nc_get_vara_double(file, variable, start, count, values.data());
            for (double& value : values)
                value = value == fill ? std::nan("") : value * scale + offset;
        }
        nc_close(file);
        benchmark::DoNotOptimize(steps.data());
        peak = std::max(peak, growth.megabytes());
    }
    state.counters["loaded_MB"] = loadedMegabytes();
    state.counters["peak_growth_MB"] = peak;
    state.counters["memory_ratio"] = peak / loadedMegabytes();
}

} // namespace

BENCHMARK(BM_NetCdfLibraryPackedGrid)->Iterations(1)->Repetitions(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NetCdfLoaderPackedGrid)->Iterations(1)->Repetitions(2)->Unit(benchmark::kMillisecond);

const qelmar::bench::RatioRegistration netCdfLoad{
    "NetCDF, packed gridded file (QELMAR_NETCDF_BENCH_MB, 1024 by default): loader vs libnetcdf in-process",
    "BM_NetCdfLoaderPackedGrid/iterations:1/repeats:2",
    "BM_NetCdfLibraryPackedGrid/iterations:1/repeats:2",
    {"loaded_MB", "peak_growth_MB", "memory_ratio", "reader_peak_RSS_MB"}};
