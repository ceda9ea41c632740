#include "load_messages.h"

#include <string_view>

namespace gaspipe::table {

namespace {

using Kind = network::CaseFileProblem::Kind;
using Type = network::CaseFileProblem::Type;
using CsvKind = network::CsvImportProblem::Kind;

QString Q(const std::string& utf8) { return QString::fromStdString(utf8); }
QString Quoted(const std::string& utf8) { return QStringLiteral("“%1”").arg(Q(utf8)); }

// The Chinese name of a member of the case file where it has one.
QString ChineseName(std::string_view part, std::string_view member) {
    struct Name {
        std::string_view part, member;
        const char* chinese;
    };
    static const Name kNames[] = {
        {"", "project", "工程信息"},
        {"", "gas", "燃气"},
        {"", "pressure_class", "压力级制"},
        {"", "method", "计算方法"},
        {"", "source", "气源"},
        {"", "limits", "限值"},
        {"", "nodes", "节点"},
        {"", "segments", "管段"},
        {"project", "name", "工程名称"},
        {"project", "number", "工程编号"},
        {"project", "stage", "设计阶段"},
        {"project", "designer", "设计人"},
        {"project", "date", "日期"},
        {"gas", "kind", "燃气种类"},
        {"gas", "density", "密度"},
        {"gas", "viscosity", "运动粘度"},
        {"gas", "temperature", "温度"},
        {"method", "name", "计算方法名称"},
        {"method", "local_loss", "局部阻力"},
        {"method", "z", "压缩因子 Z"},
        {"method", "roughness", "粗糙度"},
        {"source", "node", "气源节点"},
        {"source", "pressure", "气源压力"},
        {"source", "elevation", "气源标高"},
        {"limits", "max_velocity", "最大流速"},
        {"limits", "max_drop", "允许压降"},
        {"limits", "appliance_pressure", "燃具额定压力"},
        {"node", "id", "节点编号"},
        {"node", "elevation", "标高"},
        {"node", "load", "负荷"},
        {"segment", "id", "管段编号"},
        {"segment", "from", "起点"},
        {"segment", "to", "终点"},
        {"segment", "material", "管材"},
        {"segment", "nominal", "公称直径"},
        {"segment", "inner_diameter", "内径"},
        {"segment", "length", "长度"},
        {"segment", "flow", "流量"},
        {"segment", "local_loss", "局部阻力"},
        {"segment", "zeta", "局部阻力系数 Σζ"},
        {"segment", "simultaneity", "同时工作系数"},
        {"segment", "roughness", "粗糙度"},
    };
    for (const Name& n : kNames)
        if (n.part == part && n.member == member) return QString::fromUtf8(n.chinese);
    return {};
}

// "长度（length）", or the member's own name where it has no Chinese one.
QString Member(const network::CaseFileProblem& p) {
    const QString chinese = ChineseName(p.part, p.member);
    return chinese.isEmpty() ? Quoted(p.member)
                             : QStringLiteral("%1（%2）").arg(chinese, Q(p.member));
}

QString Where(const network::CaseFileProblem& p) {
    QString where;
    if (p.line > 0) where = QStringLiteral("第 %1 行第 %2 列：").arg(p.line).arg(p.column);
    if (p.part == "segment") {
        where += QStringLiteral("第 %1 个管段").arg(p.row);
        if (!p.rowId.empty()) where += QStringLiteral("（编号%1）").arg(Quoted(p.rowId));
        return where + QStringLiteral("：");
    }
    if (p.part == "node") return where + QStringLiteral("第 %1 个节点：").arg(p.row);
    if (p.part.empty()) return where;
    const QString part = ChineseName("", p.part);
    return where + (part.isEmpty() ? Quoted(p.part) : part) + QStringLiteral("：");
}

QString JsonType(const std::string& name) {
    if (name == "string") return QStringLiteral("文字");
    if (name == "number") return QStringLiteral("数字");
    if (name == "array") return QStringLiteral("数组");
    if (name == "object") return QStringLiteral("对象");
    if (name == "boolean") return QStringLiteral("布尔值");
    if (name == "null") return QStringLiteral("空值");
    return Q(name);
}

QString Expected(Type t) {
    switch (t) {
        case Type::Object:
            return QStringLiteral("对象");
        case Type::Array:
            return QStringLiteral("数组");
        case Type::Text:
            return QStringLiteral("文字");
        case Type::Number:
            break;
    }
    return QStringLiteral("数字");
}

QString What(const network::CaseFileProblem& p) {
    const QString member = Member(p);
    const QString material = p.materialName ? QStringLiteral("%1中的管材名称").arg(member)
                             : p.material.empty()
                                 ? member
                                 : QStringLiteral("%1中%2的值").arg(member, Quoted(p.material));
    const QString control = QStringLiteral("含有控制字符（制表符、换行、转义等）");
    switch (p.kind) {
        case Kind::NoSuchFile:
            return QStringLiteral("文件不存在");
        case Kind::NotAFile:
            return QStringLiteral("不是普通文件（而是文件夹、管道或设备）");
        case Kind::CannotRead:
            return QStringLiteral("无法读取文件：%1").arg(SystemReasonText(p.detail));
        case Kind::TooLarge:
            return QStringLiteral("文件大于 %1 MiB，超出计算文件的大小上限").arg(p.number >> 20);
        case Kind::NoMemory:
            return QStringLiteral("内存不足，无法读取");
        case Kind::NotJson:
            return QStringLiteral("文件内容不是有效的 JSON（文件已损坏或不完整）");
        case Kind::TooManyValues:
            return QStringLiteral("文件中的数值超过 %1 个").arg(p.number);
        case Kind::TooDeep:
            return QStringLiteral("嵌套超过 %1 层").arg(p.number);
        case Kind::TooManyRows:
            return QStringLiteral("%1超过 %2 个")
                .arg(p.member == "nodes" ? QStringLiteral("节点") : QStringLiteral("管段"))
                .arg(p.number);
        case Kind::DuplicateMember:
            return QStringLiteral("%1出现了两次，无法确定取哪一个").arg(member);
        case Kind::NotACase:
            return QStringLiteral("不是 gaspipe 水力计算文件");
        case Kind::BadVersion:
            return QStringLiteral("文件版本（version）应为从 1 起的整数");
        case Kind::NewerVersion:
            return QStringLiteral(
                       "此文件由较新版本的 gaspipe 保存（文件版本 %1，本程序可读到版本 %2），"
                       "请用新版本打开")
                .arg(Q(p.detail))
                .arg(network::kCaseVersion);
        case Kind::Missing:
            return QStringLiteral("缺少%1").arg(member);
        case Kind::WrongType: {
            const QString expected = p.member == "roughness" && p.material.empty()
                                         ? QStringLiteral("“管材: 粗糙度 (mm)”的对象")
                                         : Expected(p.expected);
            return p.member.empty() ? QStringLiteral("应为%1，而不是%2")
                                          .arg(Expected(p.expected), JsonType(p.detail))
                                    : QStringLiteral("%1应为%2，而不是%3")
                                          .arg(material, expected, JsonType(p.detail));
        }
        case Kind::TooLong:
            return QStringLiteral("%1超过 %2 字节").arg(material).arg(p.number);
        case Kind::ControlCharacter:
            return material + control;
        case Kind::OutOfRange:
            return QStringLiteral("%1超出数值范围").arg(material);
        case Kind::UnknownValue:
            return p.member == "pressure_unit"
                       ? QStringLiteral("压力显示单位应为 MPa、kPa 或 1e5Pa，而不是%1")
                             .arg(Quoted(p.detail))
                       : QStringLiteral("管段所属部分应为街区、庭院或室内，而不是%1")
                             .arg(Quoted(p.detail));
        case Kind::UnknownMethod:
            break;
    }
    return QStringLiteral("计算方法应为 %1 或 %2")
        .arg(Q(std::string(network::kMethodAppendix)), Q(std::string(network::kMethodGb50028)));
}

}  // namespace

QString SystemReasonText(const std::string& reason) {
    static const std::pair<std::string_view, const char*> kReasons[] = {
        {"Permission denied", "没有权限"},
        {"No space left on device", "磁盘空间不足"},
        {"Read-only file system", "文件系统只读"},
        {"No such file or directory", "文件或文件夹不存在"},
        {"Is a directory", "这是一个文件夹"},
        {"Invalid argument", "不是普通文件"},
        {"Disk quota exceeded", "超出磁盘配额"},
        {"File name too long", "文件名太长"},
        {"Input/output error", "读写出错"},
    };
    for (const auto& [english, chinese] : kReasons)
        if (reason == english) return QString::fromUtf8(chinese);
    return Q(reason);
}

QString CaseProblemText(const network::CaseFileProblem& problem) {
    return Where(problem) + What(problem);
}

QString CsvProblemText(const network::CsvImportProblem& p) {
    const QString cell = QStringLiteral("第 %1 行“%2”列：").arg(p.record).arg(Q(p.column));
    switch (p.kind) {
        case CsvKind::TooLarge:
            return QStringLiteral("文件大于 %1 MiB").arg(p.number >> 20);
        case CsvKind::NoMemory:
            return QStringLiteral("内存不足");
        case CsvKind::NotCsv:
            return QStringLiteral("不是可以读取的 CSV 文件");
        case CsvKind::TooManyRows:
            return QStringLiteral("超过 %1 行").arg(p.number);
        case CsvKind::NoHeader:
            return QStringLiteral("文件没有标题行");
        case CsvKind::MissingColumn:
            return QStringLiteral("标题行缺少“%1”列").arg(Q(p.column));
        case CsvKind::NoDiameterColumn:
            return QStringLiteral("标题行既没有“nominal”列，也没有“inner_diameter”列");
        case CsvKind::NotANumber:
            return cell + QStringLiteral("“%1”不是数字").arg(Q(p.detail));
        case CsvKind::NoLength:
            return cell + QStringLiteral("缺少长度");
        case CsvKind::TooLong:
            return cell + QStringLiteral("超过 %1 字节").arg(p.number);
        case CsvKind::UnknownPart:
            return cell + QStringLiteral("“%1”不是街区、庭院或室内").arg(Q(p.detail));
        case CsvKind::ControlCharacter:
            break;
    }
    return cell + QStringLiteral("含有控制字符（制表符、换行、转义等）");
}

}  // namespace gaspipe::table
