#include "loaders/NetCdfReader.h"

#include <netcdf.h>
#include <netcdf_mem.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <map>
#include <new>
#include <optional>
#include <stdexcept>
#include <tuple>

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qelmar::standin {

namespace {

// A refusal with its message for the user.
struct Refusal : std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct OutOfMemory {};

// Values are read and sent in slabs of about this many, so that the reader holds one slab.
constexpr std::size_t slabValues = std::size_t(1) << 20;
constexpr int deepestGroup = 32;

class NcStatus {
public:
    explicit NcStatus(const std::string& path)
        : m_path(path) {}
    // The library's own codes are negative; positive ones are system errors, here from reading
    // past the end of a truncated file.
    void check(int status) const {
        if (status == NC_NOERR)
            return;
        if (status == NC_ENOMEM)
            throw OutOfMemory{};
        const std::string why =
            status < 0 ? std::string(" (") + nc_strerror(status) + ")" : " (it ends too early)";
        throw Refusal("Cannot read " + m_path + ": it is not a NetCDF file or it is damaged" + why + ".");
    }

private:
    const std::string& m_path;
};

class NcHandle {
public:
    NcHandle() = default;
    NcHandle(const NcHandle&) = delete;
    NcHandle& operator=(const NcHandle&) = delete;
    ~NcHandle() {
        if (m_open)
            nc_close(m_id);
    }
    int* opening() { return &m_id; }
    void opened() { m_open = true; }
    int id() const { return m_id; }

private:
    int m_id = -1;
    bool m_open = false;
};

// The file's bytes mapped read-only (copy-on-write for a library that might write into them).
class MappedFile {
public:
    explicit MappedFile(const std::string& path) {
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            throw Refusal("Cannot read " + path + ": it cannot be opened.");
        struct stat status {};
        if (::fstat(fd, &status) == 0 && status.st_size > 0) {
            m_size = static_cast<std::size_t>(status.st_size);
            m_data = ::mmap(nullptr, m_size, PROT_READ | PROT_WRITE, MAP_PRIVATE, fd, 0);
        }
        ::close(fd);
        if (m_data == MAP_FAILED || !m_data) {
            m_data = nullptr;
            throw Refusal("Cannot read " + path + ": the file is empty or cannot be read.");
        }
    }
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;
    ~MappedFile() {
        if (m_data)
            ::munmap(m_data, m_size);
    }
    void* data() const { return m_data; }
    std::size_t size() const { return m_size; }

private:
    void* m_data = nullptr;
    std::size_t m_size = 0;
};

struct Dimension {
    std::string name;
    std::size_t length = 0;
    bool unlimited = false;
};

struct Variable {
    int group = 0;
    int id = 0;
    std::string name;     // with its group path, "group/var"
    std::string baseName; // without it
    nc_type type = NC_NAT;
    std::vector<int> dimensions;
};

bool isNumeric(nc_type type) {
    return type >= NC_BYTE && type <= NC_UINT64 && type != NC_CHAR;
}

// Where a variable's values lie: time steps along `steps` (-1 for none) of points over
// `spatial` (outermost first).
struct Grid {
    int steps = -1;
    std::vector<int> spatial;
    bool operator<(const Grid& other) const {
        return std::tie(steps, spatial) < std::tie(other.steps, other.spatial);
    }
    bool operator==(const Grid& other) const { return steps == other.steps && spatial == other.spatial; }
    bool ordered() const { return steps >= 0 || spatial.size() > 1; }
};

std::size_t saturatingProduct(std::size_t a, std::size_t b) {
    if (a != 0 && b > std::numeric_limits<std::size_t>::max() / a)
        return std::numeric_limits<std::size_t>::max();
    return a * b;
}

class NetCdfContents {
public:
    NetCdfContents(const std::string& path, NcStatus& status)
        : m_path(path)
        , m_status(status) {
        m_status.check(nc_open(path.c_str(), NC_NOWRITE, m_file.opening()));
        m_file.opened();
        collect(m_file.id(), "", 0);
        int format = 0;
        m_status.check(nc_inq_format(m_file.id(), &format));
        if (format != NC_FORMAT_NETCDF4 && format != NC_FORMAT_NETCDF4_CLASSIC && holdsValues())
            checkComplete();
    }

    const std::vector<Variable>& variables() const { return m_variables; }
    const Dimension& dimension(int id) const { return m_dimensions.at(id); }
    int id() const { return m_file.id(); }

    std::string title() const {
        std::size_t length = 0;
        nc_type type = NC_NAT;
        if (nc_inq_att(id(), NC_GLOBAL, "title", &type, &length) == NC_NOERR && type == NC_CHAR &&
            length < 4096) {
            std::string title(length, '\0');
            if (nc_get_att_text(id(), NC_GLOBAL, "title", title.data()) == NC_NOERR)
                return title.substr(0, title.find('\0'));
        }
        const std::string file = m_path.substr(m_path.find_last_of('/') + 1);
        return file.substr(0, file.find_last_of('.'));
    }

    // The grid a variable is loaded on, or why it cannot be.
    std::string skipReason(const Variable& variable) const {
        if (!isNumeric(variable.type))
            return variable.type == NC_CHAR || variable.type == NC_STRING ? "text" : "not numbers";
        if (variable.dimensions.empty())
            return "a single value";
        const Grid grid = gridOf(variable);
        if (grid.steps >= 0 && dimension(grid.steps).length == 0)
            return "no records";
        if (grid.spatial.size() > 3)
            return std::to_string(grid.spatial.size()) + "-D";
        for (int spatial : grid.spatial) {
            if (dimension(spatial).length == 0)
                return dimension(spatial).unlimited ? "no records" : "no values";
        }
        return {};
    }

    // Records of the unlimited dimension become time steps of a gridded variable; a variable
    // along the unlimited dimension alone stays a list of points.
    Grid gridOf(const Variable& variable) const {
        Grid grid;
        grid.spatial = variable.dimensions;
        if (variable.dimensions.size() > 1 && dimension(variable.dimensions.front()).unlimited) {
            grid.steps = variable.dimensions.front();
            grid.spatial.erase(grid.spatial.begin());
        }
        return grid;
    }

    // The 1-D variable named like the dimension, which holds its positions.
    const Variable* coordinateOf(int dimensionId) const {
        for (const Variable& variable : m_variables) {
            if (variable.dimensions.size() == 1 && variable.dimensions.front() == dimensionId &&
                variable.baseName == dimension(dimensionId).name && isNumeric(variable.type))
                return &variable;
        }
        return nullptr;
    }

    bool isCoordinate(const Variable& variable) const {
        return variable.dimensions.size() == 1 && coordinateOf(variable.dimensions.front()) == &variable;
    }

private:
    bool holdsValues() const {
        return std::any_of(m_variables.begin(), m_variables.end(), [this](const Variable& variable) {
            return std::all_of(variable.dimensions.begin(), variable.dimensions.end(),
                               [this](int id) { return dimension(id).length > 0; });
        });
    }

    // A truncated classic file reads as zeros past its end from disk; opened from its bytes,
    // reading the last value of each variable fails instead. HDF5 checks its own files' length.
    // (The library cannot open a file of a header alone from memory, hence only files with
    // values are checked.)
    void checkComplete() {
        const MappedFile bytes(m_path);
        NcHandle file;
        m_status.check(nc_open_mem(m_path.c_str(), NC_NOWRITE, bytes.size(), bytes.data(), file.opening()));
        file.opened();
        int count = 0;
        m_status.check(nc_inq_nvars(file.id(), &count));
        for (int variable = 0; variable < count; ++variable)
            readLastValue(file.id(), variable);
    }

    void readLastValue(int file, int variable) {
        int rank = 0;
        m_status.check(nc_inq_varndims(file, variable, &rank));
        if (rank > NC_MAX_VAR_DIMS)
            throw Refusal("Cannot read " + m_path + ": it is damaged (a variable has " +
                          std::to_string(rank) + " dimensions).");
        std::vector<int> dimensions(static_cast<std::size_t>(rank));
        m_status.check(nc_inq_vardimid(file, variable, dimensions.data()));
        std::vector<std::size_t> last;
        for (int dimension : dimensions) {
            std::size_t length = 0;
            m_status.check(nc_inq_dimlen(file, dimension, &length));
            if (length == 0)
                return;
            last.push_back(length - 1);
        }
        unsigned char value[16] = {};
        m_status.check(nc_get_var1(file, variable, last.data(), value));
    }

    void collect(int group, const std::string& prefix, int depth) {
        if (depth > deepestGroup)
            throw Refusal("Cannot read " + m_path + ": its groups nest deeper than " +
                          std::to_string(deepestGroup) + ".");
        collectUnlimited(group);
        int count = 0;
        m_status.check(nc_inq_nvars(group, &count));
        for (int id = 0; id < count; ++id)
            m_variables.push_back(variable(group, id, prefix));
        int groups = 0;
        m_status.check(nc_inq_grps(group, &groups, nullptr));
        std::vector<int> children(static_cast<std::size_t>(std::max(groups, 0)));
        if (groups > 0)
            m_status.check(nc_inq_grps(group, &groups, children.data()));
        for (int child : children) {
            char name[NC_MAX_NAME + 1] = {};
            m_status.check(nc_inq_grpname(child, name));
            collect(child, prefix + name + "/", depth + 1);
        }
    }

    void collectUnlimited(int group) {
        int count = 0;
        m_status.check(nc_inq_unlimdims(group, &count, nullptr));
        std::vector<int> unlimited(static_cast<std::size_t>(std::max(count, 0)));
        if (count > 0)
            m_status.check(nc_inq_unlimdims(group, &count, unlimited.data()));
        for (int id : unlimited)
            m_unlimited.push_back(id);
    }

    Variable variable(int group, int id, const std::string& prefix) {
        char name[NC_MAX_NAME + 1] = {};
        int rank = 0;
        Variable variable;
        variable.group = group;
        variable.id = id;
        m_status.check(nc_inq_var(group, id, name, &variable.type, &rank, nullptr, nullptr));
        if (rank < 0 || rank > NC_MAX_VAR_DIMS)
            throw Refusal("Cannot read " + m_path + ": it is damaged (" + name + " has " +
                          std::to_string(rank) + " dimensions).");
        variable.baseName = name;
        variable.name = prefix + name;
        variable.dimensions.resize(static_cast<std::size_t>(rank));
        m_status.check(nc_inq_vardimid(group, id, variable.dimensions.data()));
        for (int dimensionId : variable.dimensions)
            learnDimension(group, dimensionId);
        return variable;
    }

    void learnDimension(int group, int id) {
        if (m_dimensions.count(id))
            return;
        char name[NC_MAX_NAME + 1] = {};
        Dimension dimension;
        m_status.check(nc_inq_dim(group, id, name, &dimension.length));
        dimension.name = name;
        dimension.unlimited = std::find(m_unlimited.begin(), m_unlimited.end(), id) != m_unlimited.end();
        m_dimensions[id] = dimension;
    }

    const std::string& m_path;
    NcStatus& m_status;
    NcHandle m_file;
    std::vector<Variable> m_variables;
    std::vector<int> m_unlimited;
    std::map<int, Dimension> m_dimensions;
};

// The conventions by which a file marks missing points and packs values into small integers.
class ValueConventions {
public:
    explicit ValueConventions(const Variable& variable) {
        const int group = variable.group, id = variable.id;
        m_hasFill = attribute(group, id, "_FillValue", m_fill) || defaultFill(group, id, variable.type);
        m_missing = attributeValues(group, id, "missing_value");
        double scale = 1, offset = 0;
        m_scale = attribute(group, id, "scale_factor", scale) ? scale : 1;
        m_offset = attribute(group, id, "add_offset", offset) ? offset : 0;
        readValidRange(group, id, variable.type);
    }

    double apply(double raw) const {
        constexpr double missing = std::numeric_limits<double>::quiet_NaN();
        if (m_hasFill && raw == m_fill)
            return missing;
        if (std::find(m_missing.begin(), m_missing.end(), raw) != m_missing.end())
            return missing;
        const double unpacked = raw * m_scale + m_offset;
        const double checked = m_validPacked ? raw : unpacked;
        if (checked < m_validMin || checked > m_validMax)
            return missing;
        return unpacked;
    }

private:
    static bool attribute(int group, int id, const char* name, double& value) {
        std::size_t length = 0;
        nc_type type = NC_NAT;
        return nc_inq_att(group, id, name, &type, &length) == NC_NOERR && length == 1 && isNumeric(type) &&
               nc_get_att_double(group, id, name, &value) == NC_NOERR;
    }

    static std::vector<double> attributeValues(int group, int id, const char* name) {
        std::size_t length = 0;
        nc_type type = NC_NAT;
        if (nc_inq_att(group, id, name, &type, &length) != NC_NOERR || !isNumeric(type) || length > 1024)
            return {};
        std::vector<double> values(length);
        if (length == 0 || nc_get_att_double(group, id, name, values.data()) != NC_NOERR)
            return {};
        return values;
    }

    // Unwritten values hold the type's default fill unless the variable was made without fill.
    // Bytes are exempt: their whole range is commonly real data.
    bool defaultFill(int group, int id, nc_type type) {
        int noFill = 0;
        if (nc_inq_var_fill(group, id, &noFill, nullptr) != NC_NOERR || noFill)
            return false;
        switch (type) {
        case NC_SHORT:
            m_fill = NC_FILL_SHORT;
            return true;
        case NC_INT:
            m_fill = NC_FILL_INT;
            return true;
        case NC_FLOAT:
            m_fill = static_cast<double>(NC_FILL_FLOAT);
            return true;
        case NC_DOUBLE:
            m_fill = NC_FILL_DOUBLE;
            return true;
        case NC_USHORT:
            m_fill = NC_FILL_USHORT;
            return true;
        case NC_UINT:
            m_fill = NC_FILL_UINT;
            return true;
        case NC_INT64:
            m_fill = static_cast<double>(NC_FILL_INT64);
            return true;
        case NC_UINT64:
            m_fill = static_cast<double>(NC_FILL_UINT64);
            return true;
        default:
            return false;
        }
    }

    // A range given in the variable's own type bounds the packed values; one in the type of
    // the scale factor bounds the unpacked ones.
    void readValidRange(int group, int id, nc_type variableType) {
        nc_type type = NC_NAT;
        std::size_t length = 0;
        const std::vector<double> range = attributeValues(group, id, "valid_range");
        if (range.size() == 2) {
            m_validMin = range[0];
            m_validMax = range[1];
            nc_inq_att(group, id, "valid_range", &type, &length);
        } else {
            double bound = 0;
            if (attribute(group, id, "valid_min", bound)) {
                m_validMin = bound;
                nc_inq_att(group, id, "valid_min", &type, &length);
            }
            if (attribute(group, id, "valid_max", bound)) {
                m_validMax = bound;
                nc_inq_att(group, id, "valid_max", &type, &length);
            }
        }
        m_validPacked = type == NC_NAT || type == variableType;
    }

    bool m_hasFill = false;
    double m_fill = 0;
    std::vector<double> m_missing;
    double m_scale = 1;
    double m_offset = 0;
    double m_validMin = -std::numeric_limits<double>::infinity();
    double m_validMax = std::numeric_limits<double>::infinity();
    bool m_validPacked = true;
};

// One variable of the data set: read from the file, or a coordinate variable spread over the
// grid as the I, J or K position of every point.
struct Loaded {
    const Variable* variable = nullptr;
    int gridAxis = -1; // for a spread coordinate: 0 = I, 1 = J, 2 = K
};

class Load {
public:
    Load(const NetCdfRequest& request, const NetCdfContents& file, NcStatus& status)
        : m_request(request)
        , m_file(file)
        , m_status(status) {}

    std::vector<NetCdfVariable> listing() const {
        const std::optional<Grid> grid = chosenGrid();
        std::vector<NetCdfVariable> variables;
        for (const Variable& variable : m_file.variables()) {
            NetCdfVariable listed{variable.name, m_file.skipReason(variable), {}};
            if (listed.skippedBecause.empty() && grid && !(m_file.gridOf(variable) == *grid) &&
                !isGridCoordinate(variable, *grid))
                listed.otherGrid = gridName(m_file.gridOf(variable));
            variables.push_back(listed);
        }
        return variables;
    }

    void write(NetCdfFrameWriter& out) {
        const std::optional<Grid> grid = chosenGrid();
        if (!grid)
            throw Refusal(nothingToLoad());
        m_grid = *grid;
        chooseVariables();
        checkSizes();
        out.text(netcdfframe::title, m_file.title());
        for (const Loaded& loaded : m_loaded)
            out.text(netcdfframe::name, loaded.variable->name);
        out.numbers(netcdfframe::dimensions, zoneDimensions());
        out.numbers(netcdfframe::shape, {pointsPerStep(), steps()});
        const std::string skipped = skippedNote();
        if (!skipped.empty())
            out.text(netcdfframe::note, skipped);
        for (std::size_t step = 0; step < steps(); ++step) {
            for (const Loaded& loaded : m_loaded)
                writeValues(out, loaded, step);
        }
        out.end();
    }

private:
    bool wanted(const Variable& variable) const {
        return m_request.wanted.empty() || std::find(m_request.wanted.begin(), m_request.wanted.end(),
                                                     variable.name) != m_request.wanted.end();
    }

    // The grid most of the wanted variables share; on a tie a grid wins over a list and the
    // unlimited dimension over fixed ones. Coordinate variables count only when nothing else does.
    std::optional<Grid> chosenGrid() const {
        struct Votes {
            int variables = 0, coordinates = 0, first = 0;
        };
        std::map<Grid, Votes> votes;
        int index = 0;
        for (const Variable& variable : m_file.variables()) {
            ++index;
            if (!wanted(variable) || !m_file.skipReason(variable).empty())
                continue;
            Votes& grid = votes[m_file.gridOf(variable)];
            if (grid.variables + grid.coordinates == 0)
                grid.first = -index;
            ++(m_file.isCoordinate(variable) ? grid.coordinates : grid.variables);
        }
        const auto rank = [this](const std::pair<const Grid, Votes>& entry) {
            const bool unlimited =
                entry.first.steps >= 0 || m_file.dimension(entry.first.spatial[0]).unlimited;
            return std::make_tuple(entry.second.variables, entry.first.ordered(), unlimited,
                                   entry.second.coordinates, entry.second.first);
        };
        const auto best = std::max_element(
            votes.begin(), votes.end(), [&rank](const auto& a, const auto& b) { return rank(a) < rank(b); });
        return best == votes.end() ? std::nullopt : std::optional<Grid>(best->first);
    }

    std::string gridName(const Grid& grid) const {
        std::string name = "(";
        for (std::size_t at = 0; at < grid.spatial.size(); ++at)
            name += (at ? ", " : "") + m_file.dimension(grid.spatial[at]).name;
        name += ")";
        return grid.steps >= 0 ? name + " in steps of " + m_file.dimension(grid.steps).name : name;
    }

    bool isGridCoordinate(const Variable& variable, const Grid& grid) const {
        return grid.ordered() && m_file.isCoordinate(variable) &&
               std::find(grid.spatial.begin(), grid.spatial.end(), variable.dimensions.front()) !=
                   grid.spatial.end();
    }

    std::string reasonOnGrid(const Variable& variable, const std::optional<Grid>& grid) const {
        std::string reason = m_file.skipReason(variable);
        if (!reason.empty() || !grid || m_file.gridOf(variable) == *grid || isGridCoordinate(variable, *grid))
            return reason;
        return "on the grid " + gridName(m_file.gridOf(variable)) + ", not " + gridName(*grid);
    }

    void chooseVariables() {
        // The positions of an ordered zone come first, I then J then K.
        if (m_grid.ordered()) {
            for (int axis = 0; axis < static_cast<int>(m_grid.spatial.size()); ++axis) {
                const int dimension =
                    m_grid.spatial[m_grid.spatial.size() - 1 - static_cast<std::size_t>(axis)];
                const Variable* coordinate = m_file.coordinateOf(dimension);
                if (coordinate && wanted(*coordinate))
                    m_loaded.push_back({coordinate, axis});
            }
        }
        for (const Variable& variable : m_file.variables()) {
            if (wanted(variable) && m_file.skipReason(variable).empty() &&
                m_file.gridOf(variable) == m_grid && !isGridCoordinate(variable, m_grid))
                m_loaded.push_back({&variable, -1});
        }
    }

    std::string skippedNote() const {
        std::string note;
        for (const Variable& variable : m_file.variables()) {
            const bool loaded = std::any_of(m_loaded.begin(), m_loaded.end(),
                                            [&variable](const Loaded& l) { return l.variable == &variable; });
            // The records' own coordinate is what the time steps stand for.
            const bool stepCoordinate = m_grid.steps >= 0 && m_file.isCoordinate(variable) &&
                                        variable.dimensions.front() == m_grid.steps;
            if (loaded || stepCoordinate || !wanted(variable))
                continue;
            note += (note.empty() ? "" : ", ") + variable.name + " (" + reasonOnGrid(variable, m_grid) + ")";
        }
        return note.empty() ? note : m_request.path + ": not loaded: " + note + ".";
    }

    std::string nothingToLoad() const {
        const bool onlyEmpty = std::any_of(
            m_file.variables().begin(), m_file.variables().end(), [this](const Variable& variable) {
                const std::string reason = m_file.skipReason(variable);
                return wanted(variable) && (reason == "no records" || reason == "no values");
            });
        if (onlyEmpty)
            return m_request.path + " holds no data points.";
        return "Cannot load " + m_request.path +
               ": it has none of the variables to load along one dimension.";
    }

    std::size_t length(int dimension) const { return m_file.dimension(dimension).length; }

    std::uint64_t pointsPerStep() const {
        std::size_t points = 1;
        for (int dimension : m_grid.spatial)
            points = saturatingProduct(points, length(dimension));
        return points;
    }
    std::uint64_t steps() const { return m_grid.steps >= 0 ? length(m_grid.steps) : 1; }

    std::vector<std::uint64_t> zoneDimensions() const {
        if (!m_grid.ordered())
            return {};
        std::vector<std::uint64_t> sizes;
        for (auto dimension = m_grid.spatial.rbegin(); dimension != m_grid.spatial.rend(); ++dimension)
            sizes.push_back(length(*dimension));
        return sizes;
    }

    // A damaged or hostile header can declare billions of values in a few bytes; nothing is
    // read before every loaded variable fits in what a load may take.
    void checkSizes() const {
        std::size_t total = 0;
        const std::size_t perVariable = saturatingProduct(pointsPerStep(), steps());
        for (const Loaded& loaded : m_loaded) {
            std::size_t declared = perVariable;
            if (loaded.gridAxis < 0) {
                declared = 1;
                for (int dimension : loaded.variable->dimensions)
                    declared = saturatingProduct(declared, length(dimension));
            }
            if (declared > m_request.maxValues)
                throw Refusal(m_request.path + " declares " + std::to_string(declared) + " values for " +
                              loaded.variable->name + " but a load may take at most " +
                              std::to_string(m_request.maxValues) + " values.");
            total = std::min(total + declared, std::numeric_limits<std::size_t>::max() / 2);
        }
        if (total > m_request.maxValues)
            throw Refusal(m_request.path + " declares " + std::to_string(total) +
                          " values for the chosen variables together but a load may take at most " +
                          std::to_string(m_request.maxValues) + " values.");
    }

    void writeValues(NetCdfFrameWriter& out, const Loaded& loaded, std::size_t step) {
        out.beginValues(pointsPerStep());
        const ValueConventions conventions(*loaded.variable);
        if (loaded.gridAxis >= 0)
            writeSpreadCoordinate(out, loaded, conventions);
        else
            writeSlabs(out, *loaded.variable, conventions, step);
    }

    // Reads a band of whole rows of the outermost spatial dimension at a time.
    void writeSlabs(NetCdfFrameWriter& out, const Variable& variable, const ValueConventions& conventions,
                    std::size_t step) {
        const std::size_t rank = variable.dimensions.size();
        std::vector<std::size_t> start(rank, 0), count(rank);
        for (std::size_t at = 0; at < rank; ++at)
            count[at] = length(variable.dimensions[at]);
        const std::size_t outer = m_grid.steps >= 0 ? 1 : 0;
        if (m_grid.steps >= 0) {
            start[0] = step;
            count[0] = 1;
        }
        std::size_t row = 1;
        for (std::size_t at = outer + 1; at < rank; ++at)
            row = saturatingProduct(row, count[at]);
        const std::size_t rows = count[outer];
        const std::size_t band = std::max<std::size_t>(1, slabValues / std::max<std::size_t>(row, 1));
        std::vector<double> slab;
        for (std::size_t first = 0; first < rows; first += band) {
            start[outer] = first;
            count[outer] = std::min(band, rows - first);
            slab.resize(count[outer] * row);
            m_status.check(
                nc_get_vara_double(variable.group, variable.id, start.data(), count.data(), slab.data()));
            for (double& value : slab)
                value = conventions.apply(value);
            out.valuesPart(slab.data(), slab.size());
        }
    }

    void writeSpreadCoordinate(NetCdfFrameWriter& out, const Loaded& loaded,
                               const ValueConventions& conventions) {
        const Variable& variable = *loaded.variable;
        std::vector<double> positions(length(variable.dimensions.front()));
        if (!positions.empty())
            m_status.check(nc_get_var_double(variable.group, variable.id, positions.data()));
        for (double& value : positions)
            value = conventions.apply(value);
        const std::vector<std::uint64_t> sizes = zoneDimensions();
        std::size_t stride = 1;
        for (int axis = 0; axis < loaded.gridAxis; ++axis)
            stride *= sizes[static_cast<std::size_t>(axis)];
        const std::size_t points = pointsPerStep();
        std::vector<double> slab;
        slab.reserve(std::min(points, slabValues));
        for (std::size_t point = 0; point < points; ++point) {
            slab.push_back(positions[(point / stride) % positions.size()]);
            if (slab.size() == slabValues) {
                out.valuesPart(slab.data(), slab.size());
                slab.clear();
            }
        }
        out.valuesPart(slab.data(), slab.size());
    }

    const NetCdfRequest& m_request;
    const NetCdfContents& m_file;
    NcStatus& m_status;
    Grid m_grid;
    std::vector<Loaded> m_loaded;
};

void answer(const NetCdfRequest& request, NetCdfFrameWriter& out) {
    NcStatus status(request.path);
    const NetCdfContents file(request.path, status);
    Load load(request, file, status);
    if (request.listOnly) {
        for (const NetCdfVariable& variable : load.listing())
            out.text(netcdfframe::listing,
                     variable.name + '\0' + variable.skippedBecause + '\0' + variable.otherGrid);
        out.end();
        return;
    }
    load.write(out);
}

} // namespace

void answerNetCdfRequest(const NetCdfRequest& request, NetCdfFrameWriter& out) {
    try {
        answer(request, out);
    } catch (const Refusal& refusal) {
        out.text(netcdfframe::refusal, refusal.what());
    } catch (const OutOfMemory&) {
        out.text(netcdfframe::refusal, request.path + " could not be read: it needs more memory than " +
                                           std::to_string(request.memoryLimit >> 20) + " MB.");
    } catch (const std::bad_alloc&) {
        out.text(netcdfframe::refusal, request.path + " could not be read: it needs more memory than " +
                                           std::to_string(request.memoryLimit >> 20) + " MB.");
    }
}

} // namespace qelmar::standin
