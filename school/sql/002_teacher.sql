-- The teacher's overview: per-pupil summaries worked out where the answers are, pupils who left,
-- and what those summaries need to be quick. Run by `tabletool school init` inside one
-- transaction.
--
-- The tests' points and pass rules are not repeated here: the program passes its own test
-- definitions to these functions (P_TESTS, [{"kind", "statement_points", "hazard_points",
-- "numerator", "denominator"}]), so the rule lives in one place and the server only counts.
--
-- Counting a million answers for every look at the overview takes seconds, so two small tables
-- keep the counts as answers arrive (a trigger on answers): each session's totals, and each
-- pupil's latest answers per syllabus item. Both are recomputed from the answers for whatever an
-- insert touched, so an answer arriving late, or twice, leaves them right.

ALTER TABLE lentavo.pupils ADD COLUMN left_at timestamptz;

-- The order answers and sessions arrived in. One PC delivers its rows in the order it recorded them, so among
-- answers stamped with the same time this is the order the pupil's own record keeps.
ALTER TABLE lentavo.answers ADD COLUMN seq bigint GENERATED ALWAYS AS IDENTITY;
ALTER TABLE lentavo.sessions ADD COLUMN seq bigint GENERATED ALWAYS AS IDENTITY;

CREATE INDEX sessions_by_pupil ON lentavo.sessions (pupil_id, started_at);
CREATE INDEX answers_by_session ON lentavo.answers (session_uuid);
CREATE INDEX answers_by_item ON lentavo.answers (pupil_id, bunrui, answered_at DESC, seq DESC)
  WHERE bunrui IS NOT NULL;

-- How many answers an item's share is taken over, as the learning-record window takes it. The
-- program passes its own figure; item_latest is kept for this one, and another is counted from
-- the answers.
CREATE TABLE lentavo.summary_settings (
  only_row    boolean PRIMARY KEY DEFAULT true CHECK (only_row),
  item_window integer NOT NULL
);
INSERT INTO lentavo.summary_settings (item_window) VALUES (20);

CREATE TABLE lentavo.session_totals (
  session_uuid     uuid PRIMARY KEY REFERENCES lentavo.sessions,
  pupil_id         bigint NOT NULL REFERENCES lentavo.pupils,
  answers          integer NOT NULL,
  correct          integer NOT NULL,
  statements_right integer NOT NULL,   -- right answers to statements (source bank)
  hazards_right    integer NOT NULL,   -- hazard items with all three parts right
  last_answer      timestamptz NOT NULL,
  started_at       timestamptz NOT NULL   -- the session's, which never changes once delivered
);
CREATE INDEX session_totals_by_pupil ON lentavo.session_totals (pupil_id);

CREATE TABLE lentavo.item_latest (
  pupil_id bigint NOT NULL REFERENCES lentavo.pupils,
  bunrui   integer NOT NULL,
  answers  integer NOT NULL,   -- of the latest item_window answers of the item
  correct  integer NOT NULL,
  PRIMARY KEY (pupil_id, bunrui)
);

-- The totals of the sessions SESSIONS, counted again from their answers.
CREATE FUNCTION lentavo.count_sessions(p_sessions uuid[]) RETURNS void
LANGUAGE sql VOLATILE SECURITY DEFINER SET search_path = lentavo, pg_temp AS $$
  INSERT INTO lentavo.session_totals AS t
  SELECT a.session_uuid, min(a.pupil_id), count(*), count(*) FILTER (WHERE a.correct),
         count(*) FILTER (WHERE a.correct AND a.source <> 'hazard'),
         (SELECT count(*) FROM (SELECT 1 FROM lentavo.answers h
                                 WHERE h.session_uuid = a.session_uuid AND h.source = 'hazard'
                                 GROUP BY h.bango HAVING count(*) FILTER (WHERE h.correct) = 3) z),
         max(a.answered_at), min(s.started_at)
    FROM lentavo.answers a JOIN lentavo.sessions s ON s.uuid = a.session_uuid
   WHERE a.session_uuid = ANY (p_sessions)
   GROUP BY a.session_uuid
  ON CONFLICT (session_uuid) DO UPDATE
     SET answers = EXCLUDED.answers, correct = EXCLUDED.correct, statements_right = EXCLUDED.statements_right,
         hazards_right = EXCLUDED.hazards_right, last_answer = EXCLUDED.last_answer,
         started_at = EXCLUDED.started_at
$$;

-- The item shares of the pairs (PUPILS[i], ITEMS[i]), counted again.
CREATE FUNCTION lentavo.count_items(p_pupils bigint[], p_items integer[]) RETURNS void
LANGUAGE sql VOLATILE SECURITY DEFINER SET search_path = lentavo, pg_temp AS $$
  INSERT INTO lentavo.item_latest AS t
  SELECT k.pupil_id, k.bunrui, count(*), count(*) FILTER (WHERE l.correct)
    FROM unnest(p_pupils, p_items) AS k(pupil_id, bunrui)
   CROSS JOIN LATERAL (SELECT a.correct FROM lentavo.answers a
                        WHERE a.pupil_id = k.pupil_id AND a.bunrui = k.bunrui
                        ORDER BY a.answered_at DESC, a.seq DESC
                        LIMIT (SELECT item_window FROM lentavo.summary_settings)) l
   GROUP BY k.pupil_id, k.bunrui
  ON CONFLICT (pupil_id, bunrui) DO UPDATE SET answers = EXCLUDED.answers, correct = EXCLUDED.correct
$$;

CREATE FUNCTION lentavo.answers_added() RETURNS trigger
LANGUAGE plpgsql SECURITY DEFINER SET search_path = lentavo, pg_temp AS $$
DECLARE pupils bigint[];
BEGIN
  SELECT array_agg(DISTINCT pupil_id ORDER BY pupil_id) INTO pupils FROM added;
  IF pupils IS NULL THEN
    RETURN NULL;
  END IF;
  -- Two PCs of one pupil delivering at once: the second counts after the first committed, so
  -- neither count misses the other's answers.
  PERFORM pg_advisory_xact_lock(1280590413, p::integer) FROM unnest(pupils) p;
  PERFORM lentavo.count_sessions(ARRAY(SELECT DISTINCT session_uuid FROM added));
  PERFORM lentavo.count_items(array_agg(x.pupil_id), array_agg(x.bunrui))
     FROM (SELECT DISTINCT a.pupil_id, a.bunrui FROM added a WHERE a.bunrui IS NOT NULL) x;
  RETURN NULL;
END $$;

CREATE TRIGGER answers_counted AFTER INSERT ON lentavo.answers
  REFERENCING NEW TABLE AS added FOR EACH STATEMENT EXECUTE FUNCTION lentavo.answers_added();

-- The answers already on the server.
SELECT lentavo.count_sessions(ARRAY(SELECT DISTINCT session_uuid FROM lentavo.answers));
SELECT lentavo.count_items(array_agg(x.pupil_id), array_agg(x.bunrui))
  FROM (SELECT DISTINCT pupil_id, bunrui FROM lentavo.answers WHERE bunrui IS NOT NULL) x;

-- (session_scores and item_rates are the summaries' parts, run inside the functions below with
-- their owner's rights; plain SQL functions, so that the planner can see into them.)

-- Every session of the pupils P_PUPILS (NULL: every pupil) with its answers counted and, for a
-- graded mock of one of P_TESTS, its score as the exam grades it from the answers: a statement's
-- points when it is right, a hazard item's only when all three of its parts are right.
CREATE FUNCTION lentavo.session_scores(p_tests jsonb, p_pupils bigint[])
RETURNS TABLE (uuid uuid, seq bigint, pupil_id bigint, kind text, started_at timestamptz, ended_at timestamptz,
               level integer, seed bigint, answers integer, correct integer, graded boolean,
               score integer, max_score integer, pass_mark integer, last_answer timestamptz)
LANGUAGE sql STABLE AS $$
  WITH t AS (
    SELECT * FROM jsonb_to_recordset(p_tests)
      AS t(kind text, statement_points integer, hazard_points integer, numerator integer, denominator integer)
  )
  SELECT s.uuid, s.seq, s.pupil_id, s.kind, s.started_at, s.ended_at, s.level, s.seed,
         coalesce(c.answers, 0), coalesce(c.correct, 0),
         -- Graded as the pupil's statistics see it: ended, with a score and a maximum.
         (t.kind IS NOT NULL AND s.ended_at IS NOT NULL AND s.score IS NOT NULL AND coalesce(s.max_score, 0) > 0),
         CASE WHEN t.kind IS NULL OR s.score IS NULL THEN s.score
              ELSE coalesce(c.statements_right * t.statement_points + c.hazards_right * t.hazard_points, 0) END,
         s.max_score,
         coalesce(s.pass_mark, CASE WHEN t.kind IS NOT NULL AND s.max_score IS NOT NULL
                                    THEN (s.max_score * t.numerator + t.denominator - 1) / t.denominator END),
         c.last_answer
    FROM lentavo.sessions s
    LEFT JOIN lentavo.session_totals c ON c.session_uuid = s.uuid
    LEFT JOIN t ON t.kind = s.kind
   WHERE p_pupils IS NULL OR s.pupil_id = ANY (p_pupils)
$$;

-- The share of each syllabus item over the pupils' latest P_WINDOW answers of it, for the pupils
-- P_PUPILS (NULL: every pupil): kept in item_latest for the usual window, else counted.
CREATE FUNCTION lentavo.item_rates(p_window integer, p_pupils bigint[])
RETURNS TABLE (pupil_id bigint, bunrui integer, answers integer, correct integer)
LANGUAGE sql STABLE AS $$
  SELECT i.pupil_id, i.bunrui, i.answers, i.correct FROM lentavo.item_latest i
   WHERE p_window = (SELECT item_window FROM lentavo.summary_settings)
     AND (p_pupils IS NULL OR i.pupil_id = ANY (p_pupils))
  UNION ALL
  SELECT r.pupil_id, r.bunrui, count(*)::integer, count(*) FILTER (WHERE r.correct)::integer
    FROM (SELECT a.pupil_id, a.bunrui, a.correct,
                 row_number() OVER (PARTITION BY a.pupil_id, a.bunrui ORDER BY a.answered_at DESC, a.seq DESC) AS n
            FROM lentavo.answers a
           WHERE p_window <> (SELECT item_window FROM lentavo.summary_settings)
             AND a.bunrui IS NOT NULL AND (p_pupils IS NULL OR a.pupil_id = ANY (p_pupils))) r
   WHERE r.n <= p_window
   GROUP BY r.pupil_id, r.bunrui
$$;

-- One row a pupil still at the school: what the overview lists. P_ZONE names the time zone in
-- which days are counted; P_READY_MOCKS how many latest mocks of a test must all pass;
-- P_WINDOW the answers an item's share is taken over. TESTS: per test kind, its graded mocks'
-- count and latest P_READY_MOCKS newest first ({"n": 4, "last": [[score, max, pass_mark]...]}).
-- ITEMS: [[bunrui, answers, correct]...], every item with answers (the program ranks them).
CREATE FUNCTION lentavo.overview(p_tests jsonb, p_ready_mocks integer, p_window integer, p_zone text)
RETURNS TABLE (number text, name text, furigana text, last_day date, answers bigint, days bigint,
               mocks bigint, tests jsonb, items jsonb)
LANGUAGE sql STABLE SECURITY DEFINER SET search_path = lentavo, pg_temp SET work_mem = '32MB' AS $$
  WITH studied AS (
    SELECT c.pupil_id, sum(c.answers) AS answers, max(c.last_answer) AS last_answer
      FROM lentavo.session_totals c GROUP BY c.pupil_id
  ), days AS (
    -- Days on which a session with answers started, in the teacher's time zone.
    SELECT d.pupil_id, count(*) AS days
      FROM (SELECT DISTINCT c.pupil_id, (c.started_at AT TIME ZONE p_zone)::date
              FROM lentavo.session_totals c) d
     GROUP BY d.pupil_id
  ), ranked AS (
    SELECT s.pupil_id, s.kind, s.score, s.max_score, s.pass_mark,
           row_number() OVER (PARTITION BY s.pupil_id, s.kind ORDER BY s.started_at DESC, s.seq DESC) AS n,
           count(*) OVER (PARTITION BY s.pupil_id, s.kind) AS total
      FROM lentavo.session_scores(p_tests, NULL) s
     WHERE s.graded AND s.kind IN (SELECT t.kind FROM jsonb_to_recordset(p_tests) AS t(kind text))
  ), per_test AS (
    SELECT r.pupil_id, sum(r.total) AS mocks,
           jsonb_object_agg(r.kind, jsonb_build_object('n', r.total, 'last', r.last)) AS tests
      FROM (SELECT pupil_id, kind, max(total) AS total,
                   jsonb_agg(jsonb_build_array(score, max_score, pass_mark) ORDER BY n) AS last
              FROM ranked WHERE n <= p_ready_mocks GROUP BY pupil_id, kind) r
     GROUP BY r.pupil_id
  ), per_item AS (
    SELECT i.pupil_id, jsonb_agg(jsonb_build_array(i.bunrui, i.answers, i.correct) ORDER BY i.bunrui) AS items
      FROM lentavo.item_rates(p_window, NULL) i GROUP BY i.pupil_id
  )
  SELECT p.number, p.name, p.furigana, (st.last_answer AT TIME ZONE p_zone)::date,
         coalesce(st.answers, 0)::bigint, coalesce(d.days, 0), coalesce(pt.mocks, 0)::bigint,
         coalesce(pt.tests, '{}'::jsonb), coalesce(pi.items, '[]'::jsonb)
    FROM lentavo.pupils p
    LEFT JOIN studied st ON st.pupil_id = p.id
    LEFT JOIN days d ON d.pupil_id = p.id
    LEFT JOIN per_test pt ON pt.pupil_id = p.id
    LEFT JOIN per_item pi ON pi.pupil_id = p.id
   WHERE p.left_at IS NULL
   ORDER BY p.number
$$;

-- One pupil's record as the learning-record window reads it: sessions (oldest first, mocks
-- scored as above), the items' shares, and each statement's latest answer.
CREATE FUNCTION lentavo.pupil_id(p_number text) RETURNS bigint
LANGUAGE plpgsql STABLE SECURITY DEFINER SET search_path = lentavo, pg_temp AS $$
DECLARE id bigint;
BEGIN
  SELECT p.id INTO id FROM lentavo.pupils p WHERE p.number = p_number;
  IF NOT FOUND THEN
    RAISE EXCEPTION '教習生番号 % の教習生はいません', p_number USING ERRCODE = 'LV003';
  END IF;
  RETURN id;
END $$;

-- (plpgsql, so that the pupil's id is a value the plan can look up by index.)
CREATE FUNCTION lentavo.pupil_sessions(p_tests jsonb, p_number text)
RETURNS TABLE (kind text, started_at timestamptz, ended_at timestamptz, level integer, seed bigint,
               answers integer, correct integer, graded boolean, score integer, max_score integer,
               pass_mark integer)
LANGUAGE plpgsql STABLE SECURITY DEFINER SET search_path = lentavo, pg_temp AS $$
DECLARE pupil bigint := lentavo.pupil_id(p_number);
BEGIN
  RETURN QUERY
    SELECT s.kind, s.started_at, s.ended_at, s.level, s.seed, s.answers, s.correct, s.graded, s.score,
           s.max_score, s.pass_mark
      FROM lentavo.session_scores(p_tests, ARRAY[pupil]) s
     ORDER BY s.started_at, s.seq;
END $$;

CREATE FUNCTION lentavo.pupil_latest(p_number text)
RETURNS TABLE (source text, bango text, item integer, bunrui integer, correct boolean, answered_at timestamptz)
LANGUAGE plpgsql STABLE SECURITY DEFINER SET search_path = lentavo, pg_temp AS $$
DECLARE pupil bigint := lentavo.pupil_id(p_number);
BEGIN
  RETURN QUERY
    SELECT DISTINCT ON (a.source, a.bango, a.item) a.source, a.bango, a.item, a.bunrui, a.correct, a.answered_at
      FROM lentavo.answers a
     WHERE a.pupil_id = pupil
     ORDER BY a.source, a.bango, a.item, a.answered_at DESC, a.seq DESC;
END $$;

CREATE FUNCTION lentavo.pupil_items(p_window integer, p_number text)
RETURNS TABLE (bunrui integer, answers integer, correct integer)
LANGUAGE plpgsql STABLE SECURITY DEFINER SET search_path = lentavo, pg_temp AS $$
DECLARE pupil bigint := lentavo.pupil_id(p_number);
BEGIN
  RETURN QUERY
    SELECT i.bunrui, i.answers, i.correct FROM lentavo.item_rates(p_window, ARRAY[pupil]) i ORDER BY i.bunrui;
END $$;

-- The files of the latest bank version that hold statements, for "never answered".
CREATE FUNCTION lentavo.latest_bank() RETURNS TABLE (mondai bytea, kiken bytea)
LANGUAGE sql STABLE SECURITY DEFINER SET search_path = lentavo, pg_temp AS $$
  SELECT b.mondai, b.kiken FROM lentavo.bank_versions b ORDER BY b.version DESC LIMIT 1
$$;

-- ---- Pupils, as a teacher manages them ----

-- A new pupil with PIN; false when the number is taken (nothing changed).
CREATE FUNCTION lentavo.add_pupil(p_number text, p_name text, p_furigana text, p_pin text) RETURNS boolean
LANGUAGE plpgsql VOLATILE SECURITY DEFINER SET search_path = lentavo, pg_temp AS $$
BEGIN
  IF coalesce(p_number, '') !~ '^[0-9]{4,8}$' THEN
    RAISE EXCEPTION '教習生番号は 4〜8 桁の数字です' USING ERRCODE = 'LV004';
  END IF;
  IF coalesce(p_pin, '') !~ '^[0-9]{4,12}$' THEN
    RAISE EXCEPTION 'PIN は 4〜12 桁の数字です' USING ERRCODE = 'LV004';
  END IF;
  IF btrim(coalesce(p_name, '')) = '' THEN
    RAISE EXCEPTION '氏名がありません' USING ERRCODE = 'LV004';
  END IF;
  INSERT INTO lentavo.pupils (number, name, furigana, pin_hash)
  VALUES (p_number, btrim(p_name), btrim(coalesce(p_furigana, '')), lentavo.crypt(p_pin, lentavo.gen_salt('bf', 8)))
  ON CONFLICT (number) DO NOTHING;
  RETURN FOUND;
END $$;

-- Marks pupil NUMBER as having left: off the overview, their record kept. False when there is no
-- such pupil still at the school.
CREATE FUNCTION lentavo.mark_left(p_number text) RETURNS boolean
LANGUAGE plpgsql VOLATILE SECURITY DEFINER SET search_path = lentavo, pg_temp AS $$
BEGIN
  UPDATE lentavo.pupils SET left_at = now() WHERE number = p_number AND left_at IS NULL;
  RETURN FOUND;
END $$;

REVOKE ALL ON ALL TABLES IN SCHEMA lentavo FROM PUBLIC;
REVOKE ALL ON ALL FUNCTIONS IN SCHEMA lentavo FROM PUBLIC;
GRANT EXECUTE ON FUNCTION lentavo.overview(jsonb, integer, integer, text),
  lentavo.pupil_sessions(jsonb, text), lentavo.pupil_latest(text), lentavo.pupil_items(integer, text),
  lentavo.latest_bank(), lentavo.add_pupil(text, text, text, text), lentavo.mark_left(text)
  TO lentavo_teacher;
