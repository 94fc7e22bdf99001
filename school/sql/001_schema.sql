-- The school's record: pupils, their sign-ins, bank versions, sessions, answers and counters.
-- Run by `tabletool school init` inside one transaction, as the database's owner.

CREATE EXTENSION IF NOT EXISTS pgcrypto WITH SCHEMA lentavo;

DO $$
BEGIN
  IF NOT EXISTS (SELECT FROM pg_roles WHERE rolname = 'lentavo_pc') THEN
    CREATE ROLE lentavo_pc NOLOGIN;
  END IF;
  IF NOT EXISTS (SELECT FROM pg_roles WHERE rolname = 'lentavo_teacher') THEN
    CREATE ROLE lentavo_teacher NOLOGIN;
  END IF;
END $$;

CREATE TABLE lentavo.pupils (
  id           bigserial PRIMARY KEY,
  number       text NOT NULL UNIQUE CHECK (number ~ '^[0-9]{4,8}$'),
  name         text NOT NULL,
  furigana     text NOT NULL DEFAULT '',
  pin_hash     text NOT NULL,
  failed_pins  integer NOT NULL DEFAULT 0,
  locked_until timestamptz,
  created_at   timestamptz NOT NULL DEFAULT now()
);

-- One row per sign-in. The token itself is never stored, only its SHA-256.
CREATE TABLE lentavo.signins (
  id            bigserial PRIMARY KEY,
  pupil_id      bigint NOT NULL REFERENCES lentavo.pupils,
  token_hash    bytea NOT NULL UNIQUE,
  pc_name       text NOT NULL,
  signed_in_at  timestamptz NOT NULL DEFAULT now(),
  signed_out_at timestamptz,
  -- Reading the pupil's state needs a sign-in that is neither signed out nor older than this;
  -- delivering needs only expires_at, so that a queue left at a PC still arrives.
  active_until  timestamptz NOT NULL,
  expires_at    timestamptz NOT NULL,
  counters_seq  bigint NOT NULL DEFAULT 0
);
CREATE INDEX signins_by_pupil ON lentavo.signins (pupil_id) WHERE signed_out_at IS NULL;

CREATE TABLE lentavo.bank_versions (
  version   serial PRIMARY KEY,
  pushed_at timestamptz NOT NULL DEFAULT now(),
  mondai    bytea NOT NULL,
  advice    bytea NOT NULL,
  kiken     bytea NOT NULL
);

CREATE TABLE lentavo.sessions (
  uuid        uuid PRIMARY KEY,
  pupil_id    bigint NOT NULL REFERENCES lentavo.pupils,
  signin_id   bigint NOT NULL REFERENCES lentavo.signins,
  kind        text NOT NULL,
  started_at  timestamptz NOT NULL,
  ended_at    timestamptz,
  level       integer,
  seed        bigint,
  score       integer,
  max_score   integer,
  pass_mark   integer,
  received_at timestamptz NOT NULL DEFAULT now()
);

CREATE TABLE lentavo.answers (
  uuid         uuid PRIMARY KEY,
  session_uuid uuid NOT NULL REFERENCES lentavo.sessions,
  pupil_id     bigint NOT NULL REFERENCES lentavo.pupils,
  answered_at  timestamptz NOT NULL,
  source       text NOT NULL,
  bango        text NOT NULL,
  item         integer NOT NULL,
  bunrui       integer,
  answer       integer NOT NULL,
  correct      boolean NOT NULL,
  seconds      double precision,
  received_at  timestamptz NOT NULL DEFAULT now()
);
CREATE INDEX answers_by_pupil ON lentavo.answers (pupil_id, answered_at);

-- What one sign-in added to the pupil's counters since its start; the pupil's counters are the
-- sum of every sign-in's contribution (nani: the latest delivered).
CREATE TABLE lentavo.counter_contributions (
  signin_id    bigint NOT NULL REFERENCES lentavo.signins,
  pupil_id     bigint NOT NULL REFERENCES lentavo.pupils,
  bango        text NOT NULL,
  kaisu        integer NOT NULL,
  seikaisu     integer NOT NULL,
  nkaisu       integer NOT NULL,
  nani         integer NOT NULL,
  delivered_at timestamptz NOT NULL DEFAULT clock_timestamp(),
  PRIMARY KEY (signin_id, bango)
);
CREATE INDEX contributions_by_pupil ON lentavo.counter_contributions (pupil_id, bango);

-- ---- Functions a PC may run (the only thing lentavo_pc may do) ----

-- The sign-in of TOKEN; FOR_READING also needs it active. Raises LV001 otherwise.
CREATE FUNCTION lentavo.signin_of(p_token text, p_for_reading boolean) RETURNS lentavo.signins
LANGUAGE plpgsql STABLE SECURITY DEFINER SET search_path = lentavo, pg_temp AS $$
DECLARE s lentavo.signins;
BEGIN
  SELECT * INTO s FROM lentavo.signins
   WHERE token_hash = lentavo.digest(convert_to(coalesce(p_token, ''), 'UTF8'), 'sha256');
  IF NOT FOUND OR s.expires_at <= now()
     OR (p_for_reading AND (s.signed_out_at IS NOT NULL OR s.active_until <= now())) THEN
    RAISE EXCEPTION 'ログインが無効です。もう一度ログインしてください' USING ERRCODE = 'LV001';
  END IF;
  RETURN s;
END $$;

CREATE FUNCTION lentavo.sign_in(p_number text, p_pin text, p_pc text, p_take_over boolean)
RETURNS TABLE (status text, token text, name text, furigana text, bank_version integer,
               attempts_left integer, locked_until timestamptz, other_pc text)
LANGUAGE plpgsql VOLATILE SECURITY DEFINER SET search_path = lentavo, pg_temp AS $$
DECLARE
  p lentavo.pupils;
  other lentavo.signins;
  t text;
BEGIN
  SELECT * INTO p FROM lentavo.pupils WHERE number = p_number FOR UPDATE;
  IF NOT FOUND THEN
    RETURN QUERY SELECT 'unknown'::text, NULL::text, NULL::text, NULL::text, NULL::integer,
                        NULL::integer, NULL::timestamptz, NULL::text;
    RETURN;
  END IF;
  IF p.locked_until IS NOT NULL AND p.locked_until > now() THEN
    RETURN QUERY SELECT 'locked'::text, NULL::text, NULL::text, NULL::text, NULL::integer,
                        0, p.locked_until, NULL::text;
    RETURN;
  END IF;
  IF lentavo.crypt(coalesce(p_pin, ''), p.pin_hash) <> p.pin_hash THEN
    IF p.failed_pins + 1 >= 5 THEN
      UPDATE lentavo.pupils SET failed_pins = 0, locked_until = now() + interval '10 minutes'
       WHERE id = p.id RETURNING * INTO p;
      RETURN QUERY SELECT 'locked'::text, NULL::text, NULL::text, NULL::text, NULL::integer,
                          0, p.locked_until, NULL::text;
    ELSE
      UPDATE lentavo.pupils SET failed_pins = failed_pins + 1 WHERE id = p.id RETURNING * INTO p;
      RETURN QUERY SELECT 'wrong-pin'::text, NULL::text, NULL::text, NULL::text, NULL::integer,
                          5 - p.failed_pins, NULL::timestamptz, NULL::text;
    END IF;
    RETURN;
  END IF;
  UPDATE lentavo.pupils SET failed_pins = 0, locked_until = NULL WHERE id = p.id;

  SELECT * INTO other FROM lentavo.signins s
   WHERE s.pupil_id = p.id AND s.signed_out_at IS NULL AND s.active_until > now()
     AND s.pc_name <> coalesce(p_pc, '')
   ORDER BY s.signed_in_at DESC LIMIT 1;
  IF FOUND AND NOT coalesce(p_take_over, false) THEN
    RETURN QUERY SELECT 'elsewhere'::text, NULL::text, NULL::text, NULL::text, NULL::integer,
                        NULL::integer, NULL::timestamptz, other.pc_name;
    RETURN;
  END IF;
  -- Taken over, or left behind at this PC (a crash): ended now.
  UPDATE lentavo.signins s SET signed_out_at = now()
   WHERE s.pupil_id = p.id AND s.signed_out_at IS NULL;

  t := encode(lentavo.gen_random_bytes(32), 'hex');
  INSERT INTO lentavo.signins (pupil_id, token_hash, pc_name, active_until, expires_at)
  VALUES (p.id, lentavo.digest(convert_to(t, 'UTF8'), 'sha256'), coalesce(p_pc, ''),
          now() + interval '12 hours', now() + interval '30 days');
  RETURN QUERY SELECT 'signed-in'::text, t, p.name, p.furigana,
                      (SELECT max(version) FROM lentavo.bank_versions),
                      5, NULL::timestamptz, NULL::text;
END $$;

CREATE FUNCTION lentavo.bank(p_token text, p_version integer)
RETURNS TABLE (mondai bytea, advice bytea, kiken bytea)
LANGUAGE plpgsql STABLE SECURITY DEFINER SET search_path = lentavo, pg_temp AS $$
BEGIN
  PERFORM lentavo.signin_of(p_token, true);
  RETURN QUERY SELECT b.mondai, b.advice, b.kiken FROM lentavo.bank_versions b WHERE b.version = p_version;
  IF NOT FOUND THEN
    RAISE EXCEPTION '問題集の版 % がサーバーにありません', p_version USING ERRCODE = 'LV002';
  END IF;
END $$;

CREATE FUNCTION lentavo.counters(p_token text)
RETURNS TABLE (bango text, kaisu integer, seikaisu integer, nkaisu integer, nani integer)
LANGUAGE plpgsql STABLE SECURITY DEFINER SET search_path = lentavo, pg_temp AS $$
DECLARE s lentavo.signins;
BEGIN
  s := lentavo.signin_of(p_token, true);
  RETURN QUERY
    SELECT c.bango, sum(c.kaisu)::integer, sum(c.seikaisu)::integer, sum(c.nkaisu)::integer,
           (array_agg(c.nani ORDER BY c.delivered_at DESC, c.signin_id DESC))[1]
      FROM lentavo.counter_contributions c
     WHERE c.pupil_id = s.pupil_id
     GROUP BY c.bango ORDER BY c.bango;
END $$;

-- P_ROWS: [{"uuid", "kind", "started_at", "ended_at", "level", "seed", "score", "max_score",
-- "pass_mark"}]. A repeat may add the end and the score, never change the start or the pupil.
CREATE FUNCTION lentavo.deliver_sessions(p_token text, p_rows jsonb) RETURNS integer
LANGUAGE plpgsql VOLATILE SECURITY DEFINER SET search_path = lentavo, pg_temp AS $$
DECLARE s lentavo.signins; n integer;
BEGIN
  s := lentavo.signin_of(p_token, false);
  IF EXISTS (SELECT FROM jsonb_to_recordset(p_rows) AS r(uuid uuid)
               JOIN lentavo.sessions x ON x.uuid = r.uuid WHERE x.pupil_id <> s.pupil_id) THEN
    RAISE EXCEPTION 'このセッションは別の教習生のものです' USING ERRCODE = 'LV001';
  END IF;
  INSERT INTO lentavo.sessions AS x (uuid, pupil_id, signin_id, kind, started_at, ended_at, level, seed,
                                     score, max_score, pass_mark)
  SELECT r.uuid, s.pupil_id, s.id, r.kind, r.started_at, r.ended_at, r.level, r.seed, r.score,
         r.max_score, r.pass_mark
    FROM jsonb_to_recordset(p_rows) AS r(uuid uuid, kind text, started_at timestamptz,
         ended_at timestamptz, level integer, seed bigint, score integer, max_score integer,
         pass_mark integer)
  ON CONFLICT (uuid) DO UPDATE
     SET ended_at = coalesce(EXCLUDED.ended_at, x.ended_at),
         score = coalesce(EXCLUDED.score, x.score),
         max_score = coalesce(EXCLUDED.max_score, x.max_score),
         pass_mark = coalesce(EXCLUDED.pass_mark, x.pass_mark)
   WHERE x.pupil_id = EXCLUDED.pupil_id;
  GET DIAGNOSTICS n = ROW_COUNT;
  RETURN n;
END $$;

-- P_ROWS: [{"uuid", "session_uuid", "answered_at", "source", "bango", "item", "bunrui", "answer",
-- "correct", "seconds"}]. Returns how many were new; a repeated uuid is a no-op.
CREATE FUNCTION lentavo.deliver_answers(p_token text, p_rows jsonb) RETURNS integer
LANGUAGE plpgsql VOLATILE SECURITY DEFINER SET search_path = lentavo, pg_temp AS $$
DECLARE s lentavo.signins; n integer;
BEGIN
  s := lentavo.signin_of(p_token, false);
  IF EXISTS (SELECT FROM jsonb_to_recordset(p_rows) AS r(session_uuid uuid)
               LEFT JOIN lentavo.sessions x ON x.uuid = r.session_uuid
              WHERE x.uuid IS NULL OR x.pupil_id <> s.pupil_id) THEN
    RAISE EXCEPTION 'この解答のセッションはこの教習生のものではありません' USING ERRCODE = 'LV001';
  END IF;
  INSERT INTO lentavo.answers (uuid, session_uuid, pupil_id, answered_at, source, bango, item,
                               bunrui, answer, correct, seconds)
  SELECT r.uuid, r.session_uuid, s.pupil_id, r.answered_at, r.source, r.bango, r.item, r.bunrui,
         r.answer, r.correct, r.seconds
    FROM jsonb_to_recordset(p_rows) AS r(uuid uuid, session_uuid uuid, answered_at timestamptz,
         source text, bango text, item integer, bunrui integer, answer integer, correct boolean,
         seconds double precision)
  ON CONFLICT (uuid) DO NOTHING;
  GET DIAGNOSTICS n = ROW_COUNT;
  RETURN n;
END $$;

-- Replaces this sign-in's contribution with P_ROWS ([{"bango", "kaisu", "seikaisu", "nkaisu",
-- "nani"}]) when P_SEQ is newer than the last one stored.
CREATE FUNCTION lentavo.deliver_counters(p_token text, p_seq bigint, p_rows jsonb) RETURNS boolean
LANGUAGE plpgsql VOLATILE SECURITY DEFINER SET search_path = lentavo, pg_temp AS $$
DECLARE s lentavo.signins;
BEGIN
  s := lentavo.signin_of(p_token, false);
  UPDATE lentavo.signins SET counters_seq = p_seq WHERE id = s.id AND counters_seq < p_seq;
  IF NOT FOUND THEN
    RETURN false;
  END IF;
  DELETE FROM lentavo.counter_contributions WHERE signin_id = s.id;
  INSERT INTO lentavo.counter_contributions (signin_id, pupil_id, bango, kaisu, seikaisu, nkaisu, nani)
  SELECT s.id, s.pupil_id, r.bango, r.kaisu, r.seikaisu, r.nkaisu, r.nani
    FROM jsonb_to_recordset(p_rows) AS r(bango text, kaisu integer, seikaisu integer,
         nkaisu integer, nani integer);
  RETURN true;
END $$;

CREATE FUNCTION lentavo.sign_out(p_token text) RETURNS void
LANGUAGE plpgsql VOLATILE SECURITY DEFINER SET search_path = lentavo, pg_temp AS $$
BEGIN
  UPDATE lentavo.signins SET signed_out_at = now()
   WHERE token_hash = lentavo.digest(convert_to(coalesce(p_token, ''), 'UTF8'), 'sha256')
     AND signed_out_at IS NULL;
END $$;

-- Sets pupil NUMBER's PIN (a teacher's reset) and lifts a lock.
CREATE FUNCTION lentavo.set_pin(p_number text, p_pin text) RETURNS boolean
LANGUAGE plpgsql VOLATILE SECURITY DEFINER SET search_path = lentavo, pg_temp AS $$
BEGIN
  UPDATE lentavo.pupils SET pin_hash = lentavo.crypt(p_pin, lentavo.gen_salt('bf', 8)),
         failed_pins = 0, locked_until = NULL
   WHERE number = p_number;
  RETURN FOUND;
END $$;

-- ---- Reporting views (the teacher) ----
CREATE VIEW lentavo.answers_export AS
SELECT p.number, a.uuid AS answer_uuid, a.session_uuid, s.kind, s.started_at, s.ended_at, s.level,
       a.answered_at, a.source, a.bango, a.item, a.bunrui, a.answer, a.correct, a.seconds,
       a.received_at
  FROM lentavo.answers a JOIN lentavo.sessions s ON s.uuid = a.session_uuid
  JOIN lentavo.pupils p ON p.id = a.pupil_id;

CREATE VIEW lentavo.pupil_overview AS
SELECT p.number, p.name, p.furigana, p.locked_until,
       (SELECT count(*) FROM lentavo.answers a WHERE a.pupil_id = p.id) AS answers,
       (SELECT count(*) FROM lentavo.answers a WHERE a.pupil_id = p.id AND a.correct) AS correct,
       (SELECT max(a.answered_at) FROM lentavo.answers a WHERE a.pupil_id = p.id) AS last_answer
  FROM lentavo.pupils p;

-- ---- Who may do what ----
REVOKE ALL ON ALL TABLES IN SCHEMA lentavo FROM PUBLIC;
REVOKE ALL ON ALL FUNCTIONS IN SCHEMA lentavo FROM PUBLIC;
GRANT USAGE ON SCHEMA lentavo TO lentavo_pc, lentavo_teacher;
GRANT EXECUTE ON FUNCTION lentavo.sign_in(text, text, text, boolean), lentavo.bank(text, integer),
  lentavo.counters(text), lentavo.deliver_sessions(text, jsonb), lentavo.deliver_answers(text, jsonb),
  lentavo.deliver_counters(text, bigint, jsonb), lentavo.sign_out(text) TO lentavo_pc;
GRANT SELECT ON lentavo.answers_export, lentavo.pupil_overview TO lentavo_teacher;
GRANT SELECT, INSERT ON lentavo.pupils TO lentavo_teacher;
GRANT UPDATE (name, furigana, failed_pins, locked_until) ON lentavo.pupils TO lentavo_teacher;
GRANT USAGE ON SEQUENCE lentavo.pupils_id_seq TO lentavo_teacher;
GRANT EXECUTE ON FUNCTION lentavo.set_pin(text, text), lentavo.crypt(text, text),
  lentavo.gen_salt(text, integer) TO lentavo_teacher;
