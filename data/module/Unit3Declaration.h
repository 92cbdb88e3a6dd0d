#pragma once
// The data module as declared data: the connection, then every data set and
// data source in declaration order with its properties.
#include "data/dataset/TDataSet.h"

#include <string>
#include <vector>

namespace zemt::data {

enum class ComponentKind { Query, Table, DataSource };

struct ConnectionDeclaration {
    std::string name;
    std::string connectionString;
    std::string provider;
    bool loginPrompt;
    int left, top;
};

struct ComponentDeclaration {
    ComponentKind kind;
    std::string name;
    int left, top; ///< designer position, no run-time effect
    TCursorType cursorType = TCursorType::ctKeyset;
    std::vector<std::string> sql; ///< queries: the SQL text, line by line
    std::string tableName;        ///< tables
    std::string masterSource;     ///< tables: the data source followed
    std::string masterFields;     ///< tables
    std::string indexFieldNames;  ///< tables
    std::string dataSet;          ///< data sources
};

struct ModuleDeclaration {
    std::string name;
    int left, top, width, height;
    ConnectionDeclaration connection;
    std::vector<ComponentDeclaration> components;
};

/// The declaration of DataModule3.
const ModuleDeclaration& moduleDeclaration();

} // namespace zemt::data
