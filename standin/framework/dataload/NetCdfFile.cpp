#include "framework/dataload/NetCdfFile.h"

#include <QFileInfo>
#include <QString>

#include <QFile>

#include <netcdf.h>
#include <netcdf_mem.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <stdexcept>

namespace qelmar::standin {

namespace {

// Opened from the file's bytes in memory rather than from disk: there a read past the end of a
// truncated file fails, where the library would read zeros from disk.
class OpenNetCdf {
public:
    explicit OpenNetCdf(const std::string& path)
        : m_path(path) {
        QFile file(QString::fromStdString(path));
        if (!file.open(QIODevice::ReadOnly))
            throw std::runtime_error("Cannot read " + path + ": " + file.errorString().toStdString());
        m_bytes = file.readAll();
        if (m_bytes.isEmpty())
            throw std::runtime_error("Cannot read " + path + ": the file is empty.");
        check(nc_open_mem(path.c_str(), NC_NOWRITE, static_cast<std::size_t>(m_bytes.size()), m_bytes.data(),
                          &m_id));
        m_open = true;
    }
    OpenNetCdf(const OpenNetCdf&) = delete;
    OpenNetCdf& operator=(const OpenNetCdf&) = delete;
    ~OpenNetCdf() {
        if (m_open)
            nc_close(m_id);
    }

    int id() const { return m_id; }

    // The library's own codes are negative; others are system errors, here from reading past the
    // end of the bytes.
    void check(int status) const {
        if (status == NC_NOERR)
            return;
        const std::string why =
            status < 0 ? std::string(" (") + nc_strerror(status) + ")" : " (it ends too early)";
        throw std::runtime_error("Cannot read " + m_path + ": it is not a NetCDF file or it is damaged" +
                                 why + ".");
    }

private:
    std::string m_path;
    QByteArray m_bytes;
    int m_id = -1;
    bool m_open = false;
};

struct VariableShape {
    std::string name;
    nc_type type = NC_NAT;
    std::vector<int> dimensions;
};

bool isNumeric(nc_type type) {
    return type != NC_CHAR && type != NC_STRING && type <= NC_STRING;
}

// A truncated file can still hold every variable the user loads; reading the last value of
// each variable reaches the end of the data and refuses it before anything is loaded.
void checkComplete(const OpenNetCdf& file, const std::vector<VariableShape>& shapes) {
    for (std::size_t variable = 0; variable < shapes.size(); ++variable) {
        const VariableShape& shape = shapes[variable];
        if (shape.type == NC_STRING || shape.type > NC_STRING)
            continue;
        std::vector<std::size_t> last;
        for (int dimension : shape.dimensions) {
            std::size_t length = 0;
            file.check(nc_inq_dimlen(file.id(), dimension, &length));
            if (length == 0)
                break;
            last.push_back(length - 1);
        }
        if (last.size() != shape.dimensions.size())
            continue;
        double value[1] = {};
        file.check(nc_get_var1(file.id(), static_cast<int>(variable), last.data(), value));
    }
}

std::vector<VariableShape> shapesOf(const OpenNetCdf& file) {
    int count = 0;
    file.check(nc_inq_nvars(file.id(), &count));
    std::vector<VariableShape> shapes(static_cast<std::size_t>(count));
    for (int variable = 0; variable < count; ++variable) {
        char name[NC_MAX_NAME + 1] = {};
        int dimensionCount = 0;
        VariableShape& shape = shapes[static_cast<std::size_t>(variable)];
        file.check(nc_inq_var(file.id(), variable, name, &shape.type, &dimensionCount, nullptr, nullptr));
        shape.dimensions.resize(static_cast<std::size_t>(dimensionCount));
        file.check(nc_inq_vardimid(file.id(), variable, shape.dimensions.data()));
        shape.name = name;
    }
    checkComplete(file, shapes);
    return shapes;
}

// The dimension the data set runs along; -1 when no variable lies along one dimension alone.
int dimensionOfData(const OpenNetCdf& file, const std::vector<VariableShape>& shapes) {
    std::map<int, int> variablesAlong;
    for (const VariableShape& shape : shapes) {
        if (shape.dimensions.size() == 1 && isNumeric(shape.type))
            ++variablesAlong[shape.dimensions.front()];
    }
    int unlimited = -1;
    file.check(nc_inq_unlimdim(file.id(), &unlimited));
    if (variablesAlong.count(unlimited))
        return unlimited;
    const auto most = std::max_element(variablesAlong.begin(), variablesAlong.end(),
                                       [](const auto& a, const auto& b) { return a.second < b.second; });
    return most == variablesAlong.end() ? -1 : most->first;
}

std::string dimensionName(const OpenNetCdf& file, int dimension) {
    char name[NC_MAX_NAME + 1] = {};
    file.check(nc_inq_dimname(file.id(), dimension, name));
    return name;
}

std::string skipReason(const OpenNetCdf& file, const VariableShape& shape, int dimension) {
    if (!isNumeric(shape.type))
        return "text";
    if (shape.dimensions.empty())
        return "a single value";
    if (shape.dimensions.size() > 1)
        return std::to_string(shape.dimensions.size()) + "-D";
    if (shape.dimensions.front() != dimension)
        return "not along " + dimensionName(file, dimension);
    return {};
}

std::vector<double> valuesOf(const OpenNetCdf& file, int variable, std::size_t points) {
    std::vector<double> values(points);
    if (points > 0)
        file.check(nc_get_var_double(file.id(), variable, values.data()));
    // Points the file marks as unwritten are missing values, not numbers.
    double fill = 0;
    if (nc_get_att_double(file.id(), variable, "_FillValue", &fill) == NC_NOERR)
        std::replace(values.begin(), values.end(), fill, std::numeric_limits<double>::quiet_NaN());
    return values;
}

std::string titleOf(const OpenNetCdf& file, const std::string& path) {
    std::size_t length = 0;
    nc_type type = NC_NAT;
    if (nc_inq_att(file.id(), NC_GLOBAL, "title", &type, &length) == NC_NOERR && type == NC_CHAR) {
        std::string title(length, '\0');
        if (nc_get_att_text(file.id(), NC_GLOBAL, "title", title.data()) == NC_NOERR)
            return title.substr(0, title.find('\0'));
    }
    return QFileInfo(QString::fromStdString(path)).completeBaseName().toStdString();
}

} // namespace

std::vector<NetCdfVariable> netCdfVariables(const std::string& path) {
    const OpenNetCdf file(path);
    const std::vector<VariableShape> shapes = shapesOf(file);
    const int dimension = dimensionOfData(file, shapes);
    std::vector<NetCdfVariable> variables;
    for (const VariableShape& shape : shapes)
        variables.push_back({shape.name, skipReason(file, shape, dimension)});
    return variables;
}

DataValues readNetCdf(const std::string& path, const std::vector<std::string>& wanted) {
    const OpenNetCdf file(path);
    const std::vector<VariableShape> shapes = shapesOf(file);
    const int dimension = dimensionOfData(file, shapes);
    DataValues data;
    data.title = titleOf(file, path);
    std::size_t points = 0;
    if (dimension >= 0)
        file.check(nc_inq_dimlen(file.id(), dimension, &points));
    for (std::size_t variable = 0; variable < shapes.size(); ++variable) {
        const VariableShape& shape = shapes[variable];
        if (!skipReason(file, shape, dimension).empty())
            continue;
        if (!wanted.empty() && std::find(wanted.begin(), wanted.end(), shape.name) == wanted.end())
            continue;
        data.variableNames.push_back(shape.name);
        data.values.push_back(valuesOf(file, static_cast<int>(variable), points));
    }
    if (data.variableNames.empty())
        throw std::runtime_error("Cannot load " + path +
                                 ": it has none of the variables to load along one dimension.");
    return data;
}

} // namespace qelmar::standin
