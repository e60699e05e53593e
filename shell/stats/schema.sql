-- Usage statistics: one row per program key (link + parameters).
CREATE TABLE IF NOT EXISTS TAB_STAT (
    Caption      TEXT,
    Path         TEXT,
    Executions   INTEGER NOT NULL DEFAULT 0,
    LastExecuted DATETIME,
    Seconds      REAL NOT NULL DEFAULT 0,
    TIMESTRING   TEXT
);
CREATE INDEX IF NOT EXISTS TAB_STAT_Path ON TAB_STAT (Path COLLATE NOCASE);
