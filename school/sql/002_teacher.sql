-- The teacher's overview: per-pupil summaries worked out where the answers are, pupils who left,
-- and the indexes those summaries need. Run by `tabletool school init` inside one transaction.
--
-- The tests' points and pass rules are not repeated here: the program passes its own test
-- definitions to these functions (P_TESTS, [{"kind", "statement_points", "hazard_points",
-- "numerator", "denominator"}]), so the rule lives in one place and the server only counts.

ALTER TABLE lentavo.pupils ADD COLUMN left_at timestamptz;

-- The order answers arrived in. One PC delivers its rows in the order it recorded them, so among
-- answers stamped with the same time this is the order the pupil's own record keeps.
ALTER TABLE lentavo.answers ADD COLUMN seq bigint GENERATED ALWAYS AS IDENTITY;

CREATE INDEX sessions_by_pupil ON lentavo.sessions (pupil_id, started_at);
CREATE INDEX answers_by_session ON lentavo.answers (session_uuid);
CREATE INDEX answers_by_item ON lentavo.answers (pupil_id, bunrui, answered_at DESC, seq DESC)
  WHERE bunrui IS NOT NULL;

-- Every session of the pupils P_PUPILS (NULL: every pupil) with its answers counted and, for a
-- mock of one of P_TESTS, its score as the exam grades it: a statement's points when it is right,
-- a hazard item's only when all three of its parts are right.
CREATE FUNCTION lentavo.session_scores(p_tests jsonb, p_pupils bigint[])
RETURNS TABLE (uuid uuid, pupil_id bigint, kind text, started_at timestamptz, ended_at timestamptz,
               level integer, seed bigint, answers integer, correct integer, graded boolean,
               score integer, max_score integer, pass_mark integer)
LANGUAGE sql STABLE SECURITY DEFINER SET search_path = lentavo, pg_temp AS $$
  WITH t AS (
    SELECT * FROM jsonb_to_recordset(p_tests)
      AS t(kind text, statement_points integer, hazard_points integer, numerator integer, denominator integer)
  ), counted AS (
    SELECT a.session_uuid, count(*)::integer AS answers, count(*) FILTER (WHERE a.correct)::integer AS correct
      FROM lentavo.answers a
     WHERE p_pupils IS NULL OR a.pupil_id = ANY (p_pupils)
     GROUP BY a.session_uuid
  ), mock_points AS (
    -- Only mocks: a hazard item is one row here, right when its three parts are.
    SELECT q.session_uuid, sum(CASE WHEN q.right_parts = CASE WHEN q.source = 'hazard' THEN 3 ELSE 1 END
                                    THEN CASE WHEN q.source = 'hazard' THEN t.hazard_points ELSE t.statement_points END
                                    ELSE 0 END)::integer AS score
      FROM (SELECT a.session_uuid, a.source, a.bango, s.kind,
                   count(*) FILTER (WHERE a.correct) AS right_parts
              FROM lentavo.sessions s JOIN lentavo.answers a ON a.session_uuid = s.uuid
             WHERE s.kind IN (SELECT kind FROM t) AND (p_pupils IS NULL OR s.pupil_id = ANY (p_pupils))
             GROUP BY a.session_uuid, a.source, a.bango, s.kind,
                      CASE WHEN a.source = 'hazard' THEN NULL ELSE a.uuid END) q
      JOIN t ON t.kind = q.kind
     GROUP BY q.session_uuid
  )
  SELECT s.uuid, s.pupil_id, s.kind, s.started_at, s.ended_at, s.level, s.seed,
         coalesce(c.answers, 0), coalesce(c.correct, 0),
         -- Graded as the pupil's statistics see it: ended, with a score and a maximum.
         (t.kind IS NOT NULL AND s.ended_at IS NOT NULL AND s.score IS NOT NULL AND coalesce(s.max_score, 0) > 0),
         -- A mock the PC graded is scored here from its answers; anything else keeps what came.
         CASE WHEN t.kind IS NULL OR s.score IS NULL THEN s.score ELSE coalesce(m.score, 0) END,
         s.max_score,
         coalesce(s.pass_mark, CASE WHEN t.kind IS NOT NULL AND s.max_score IS NOT NULL
                                    THEN (s.max_score * t.numerator + t.denominator - 1) / t.denominator END)
    FROM lentavo.sessions s
    LEFT JOIN counted c ON c.session_uuid = s.uuid
    LEFT JOIN mock_points m ON m.session_uuid = s.uuid
    LEFT JOIN t ON t.kind = s.kind
   WHERE p_pupils IS NULL OR s.pupil_id = ANY (p_pupils)
$$;

-- The share of each syllabus item over the pupil's latest P_WINDOW answers of it, for the pupils
-- P_PUPILS (NULL: every pupil).
CREATE FUNCTION lentavo.item_rates(p_window integer, p_pupils bigint[])
RETURNS TABLE (pupil_id bigint, bunrui integer, answers integer, correct integer)
LANGUAGE sql STABLE SECURITY DEFINER SET search_path = lentavo, pg_temp AS $$
  SELECT r.pupil_id, r.bunrui, count(*)::integer, count(*) FILTER (WHERE r.correct)::integer
    FROM (SELECT a.pupil_id, a.bunrui, a.correct,
                 row_number() OVER (PARTITION BY a.pupil_id, a.bunrui ORDER BY a.answered_at DESC, a.seq DESC) AS n
            FROM lentavo.answers a
           WHERE a.bunrui IS NOT NULL AND (p_pupils IS NULL OR a.pupil_id = ANY (p_pupils))) r
   WHERE r.n <= p_window
   GROUP BY r.pupil_id, r.bunrui
$$;

-- One row a pupil still at the school: what the overview lists. P_ZONE names the time zone in
-- which days are counted; P_READY_MOCKS how many latest mocks of a test must all pass;
-- P_WINDOW the answers an item's share is taken over. MOCKS: per test kind, its graded mocks'
-- latest P_READY_MOCKS newest first ({"n": graded mocks, "last": [[score, max, pass_mark]...]}).
-- ITEMS: [[bunrui, answers, correct]...], every item with answers (the program ranks them).
CREATE FUNCTION lentavo.overview(p_tests jsonb, p_ready_mocks integer, p_window integer, p_zone text)
RETURNS TABLE (number text, name text, furigana text, last_day date, answers bigint, days bigint,
               mocks bigint, tests jsonb, items jsonb)
LANGUAGE sql STABLE SECURITY DEFINER SET search_path = lentavo, pg_temp AS $$
  WITH s AS (
    SELECT * FROM lentavo.session_scores(p_tests, NULL)
  ), studied AS (
    SELECT s.pupil_id, sum(s.answers) AS answers,
           count(DISTINCT (s.started_at AT TIME ZONE p_zone)::date) FILTER (WHERE s.answers > 0) AS days,
           count(*) FILTER (WHERE s.graded) AS mocks
      FROM s GROUP BY s.pupil_id
  ), last_answer AS (
    SELECT a.pupil_id, max(a.answered_at) AS at FROM lentavo.answers a GROUP BY a.pupil_id
  ), ranked AS (
    SELECT s.pupil_id, s.kind, s.score, s.max_score, s.pass_mark,
           row_number() OVER (PARTITION BY s.pupil_id, s.kind ORDER BY s.started_at DESC, s.uuid DESC) AS n,
           count(*) OVER (PARTITION BY s.pupil_id, s.kind) AS total
      FROM s WHERE s.graded
  ), per_test AS (
    SELECT r.pupil_id, jsonb_object_agg(r.kind, jsonb_build_object('n', r.total, 'last', r.last)) AS tests
      FROM (SELECT pupil_id, kind, max(total) AS total,
                   jsonb_agg(jsonb_build_array(score, max_score, pass_mark) ORDER BY n) AS last
              FROM ranked WHERE n <= p_ready_mocks GROUP BY pupil_id, kind) r
     GROUP BY r.pupil_id
  ), per_item AS (
    SELECT i.pupil_id, jsonb_agg(jsonb_build_array(i.bunrui, i.answers, i.correct) ORDER BY i.bunrui) AS items
      FROM lentavo.item_rates(p_window, NULL) i GROUP BY i.pupil_id
  )
  SELECT p.number, p.name, p.furigana, (l.at AT TIME ZONE p_zone)::date,
         coalesce(st.answers, 0)::bigint, coalesce(st.days, 0), coalesce(st.mocks, 0),
         coalesce(pt.tests, '{}'::jsonb), coalesce(pi.items, '[]'::jsonb)
    FROM lentavo.pupils p
    LEFT JOIN studied st ON st.pupil_id = p.id
    LEFT JOIN last_answer l ON l.pupil_id = p.id
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

CREATE FUNCTION lentavo.pupil_sessions(p_tests jsonb, p_number text)
RETURNS TABLE (kind text, started_at timestamptz, ended_at timestamptz, level integer, seed bigint,
               answers integer, correct integer, graded boolean, score integer, max_score integer,
               pass_mark integer)
LANGUAGE sql STABLE SECURITY DEFINER SET search_path = lentavo, pg_temp AS $$
  SELECT s.kind, s.started_at, s.ended_at, s.level, s.seed, s.answers, s.correct, s.graded, s.score,
         s.max_score, s.pass_mark
    FROM lentavo.session_scores(p_tests, ARRAY[lentavo.pupil_id(p_number)]) s
   ORDER BY s.started_at, s.uuid
$$;

CREATE FUNCTION lentavo.pupil_latest(p_number text)
RETURNS TABLE (source text, bango text, item integer, bunrui integer, correct boolean, answered_at timestamptz)
LANGUAGE sql STABLE SECURITY DEFINER SET search_path = lentavo, pg_temp AS $$
  SELECT DISTINCT ON (a.source, a.bango, a.item) a.source, a.bango, a.item, a.bunrui, a.correct, a.answered_at
    FROM lentavo.answers a
   WHERE a.pupil_id = lentavo.pupil_id(p_number)
   ORDER BY a.source, a.bango, a.item, a.answered_at DESC, a.seq DESC
$$;

CREATE FUNCTION lentavo.pupil_items(p_window integer, p_number text)
RETURNS TABLE (bunrui integer, answers integer, correct integer)
LANGUAGE sql STABLE SECURITY DEFINER SET search_path = lentavo, pg_temp AS $$
  SELECT i.bunrui, i.answers, i.correct FROM lentavo.item_rates(p_window, ARRAY[lentavo.pupil_id(p_number)]) i
   ORDER BY i.bunrui
$$;

-- The statements of the latest bank version, for "never answered": the bank's files as stored.
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

-- Marks pupil NUMBER as having left: off the overview, their record kept, no sign-in ended
-- early (a queue still arrives). False when there is no such pupil still at the school.
CREATE FUNCTION lentavo.mark_left(p_number text) RETURNS boolean
LANGUAGE plpgsql VOLATILE SECURITY DEFINER SET search_path = lentavo, pg_temp AS $$
BEGIN
  UPDATE lentavo.pupils SET left_at = now() WHERE number = p_number AND left_at IS NULL;
  RETURN FOUND;
END $$;

REVOKE ALL ON ALL FUNCTIONS IN SCHEMA lentavo FROM PUBLIC;
GRANT EXECUTE ON FUNCTION lentavo.overview(jsonb, integer, integer, text),
  lentavo.pupil_sessions(jsonb, text), lentavo.pupil_latest(text), lentavo.pupil_items(integer, text),
  lentavo.latest_bank(), lentavo.add_pupil(text, text, text, text), lentavo.mark_left(text)
  TO lentavo_teacher;
