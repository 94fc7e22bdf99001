-- A pupil's whole record follows them to any PC: the signed-in pupil's sessions and answers, as
-- every PC delivered them, read back at sign-in; and a PC may ask whether its sign-in still
-- stands (another PC may have taken it over). Run by `tabletool school init` inside one
-- transaction.

-- Times as the PC's record writes them: ISO 8601 UTC to the second.
CREATE FUNCTION lentavo.record_time(t timestamptz) RETURNS text
LANGUAGE sql IMMUTABLE SET search_path = lentavo, pg_temp AS $$
  SELECT to_char(t AT TIME ZONE 'UTC', 'YYYY-MM-DD"T"HH24:MI:SS"Z"')
$$;

-- Every session of the signed-in pupil, oldest first (SEQ: the order they arrived in, which
-- orders sessions begun in the same second).
CREATE FUNCTION lentavo.my_sessions(p_token text)
RETURNS TABLE (uuid uuid, seq bigint, kind text, started_at text, ended_at text, level integer,
               seed bigint, score integer, max_score integer, pass_mark integer)
LANGUAGE plpgsql STABLE SECURITY DEFINER SET search_path = lentavo, pg_temp AS $$
DECLARE s lentavo.signins;
BEGIN
  s := lentavo.signin_of(p_token, true);
  RETURN QUERY
    SELECT x.uuid, x.seq, x.kind, lentavo.record_time(x.started_at), lentavo.record_time(x.ended_at),
           x.level, x.seed, x.score, x.max_score, x.pass_mark
      FROM lentavo.sessions x
     WHERE x.pupil_id = s.pupil_id
     ORDER BY x.started_at, x.seq;
END $$;

-- Every answer of the signed-in pupil in the order answered, across PCs. Answers stamped with
-- the same second keep the order they arrived in, which is each PC's own order.
CREATE FUNCTION lentavo.my_answers(p_token text)
RETURNS TABLE (uuid uuid, seq bigint, session_uuid uuid, answered_at text, source text, bango text,
               item integer, bunrui integer, answer integer, correct boolean, seconds double precision)
LANGUAGE plpgsql STABLE SECURITY DEFINER SET search_path = lentavo, pg_temp AS $$
DECLARE s lentavo.signins;
BEGIN
  s := lentavo.signin_of(p_token, true);
  RETURN QUERY
    SELECT a.uuid, a.seq, a.session_uuid, lentavo.record_time(a.answered_at), a.source, a.bango,
           a.item, a.bunrui, a.answer, a.correct, a.seconds
      FROM lentavo.answers a
     WHERE a.pupil_id = s.pupil_id
     ORDER BY a.answered_at, a.seq;
END $$;

-- What became of the sign-in of TOKEN: 'active'; 'taken-over' (the pupil signed in at another
-- PC, which ended this one: sign_in ends the others and begins its own in one transaction, so
-- the two times are equal); 'signed-out'; 'expired' (past its 12 hours); 'unknown'.
CREATE FUNCTION lentavo.signin_status(p_token text) RETURNS text
LANGUAGE plpgsql STABLE SECURITY DEFINER SET search_path = lentavo, pg_temp AS $$
DECLARE s lentavo.signins;
BEGIN
  SELECT * INTO s FROM lentavo.signins
   WHERE token_hash = lentavo.digest(convert_to(coalesce(p_token, ''), 'UTF8'), 'sha256');
  IF NOT FOUND THEN
    RETURN 'unknown';
  END IF;
  IF s.signed_out_at IS NULL THEN
    RETURN CASE WHEN s.active_until > now() THEN 'active' ELSE 'expired' END;
  END IF;
  IF EXISTS (SELECT FROM lentavo.signins n
              WHERE n.pupil_id = s.pupil_id AND n.id > s.id AND n.signed_in_at = s.signed_out_at
                AND n.pc_name <> s.pc_name) THEN
    RETURN 'taken-over';
  END IF;
  RETURN 'signed-out';
END $$;

REVOKE ALL ON FUNCTION lentavo.record_time(timestamptz), lentavo.my_sessions(text),
  lentavo.my_answers(text), lentavo.signin_status(text) FROM PUBLIC;
GRANT EXECUTE ON FUNCTION lentavo.my_sessions(text), lentavo.my_answers(text),
  lentavo.signin_status(text) TO lentavo_pc;

-- The date of the pupil's test (what 今日の復習 plans towards), set in 学習記録 at any PC: the
-- latest delivered holds, and each PC takes it at sign-in.
CREATE TABLE lentavo.test_dates (
  pupil_id   bigint PRIMARY KEY REFERENCES lentavo.pupils,
  test       text,            -- NULL with test_date NULL: no date
  test_date  date,
  changed_at timestamptz NOT NULL DEFAULT now(),
  CHECK ((test IS NULL) = (test_date IS NULL)),
  CHECK (test ~ '^[a-z]{1,16}$')
);

CREATE FUNCTION lentavo.deliver_test_date(p_token text, p_test text, p_date date) RETURNS void
LANGUAGE plpgsql VOLATILE SECURITY DEFINER SET search_path = lentavo, pg_temp AS $$
DECLARE s lentavo.signins;
BEGIN
  s := lentavo.signin_of(p_token, false);
  INSERT INTO lentavo.test_dates AS t (pupil_id, test, test_date) VALUES (s.pupil_id, p_test, p_date)
  ON CONFLICT (pupil_id) DO UPDATE SET test = EXCLUDED.test, test_date = EXCLUDED.test_date, changed_at = now();
END $$;

-- The signed-in pupil's test date; no row when none was ever delivered.
CREATE FUNCTION lentavo.my_test_date(p_token text) RETURNS TABLE (test text, test_date text)
LANGUAGE plpgsql STABLE SECURITY DEFINER SET search_path = lentavo, pg_temp AS $$
DECLARE s lentavo.signins;
BEGIN
  s := lentavo.signin_of(p_token, true);
  RETURN QUERY SELECT t.test, to_char(t.test_date, 'YYYY-MM-DD') FROM lentavo.test_dates t
                WHERE t.pupil_id = s.pupil_id;
END $$;

REVOKE ALL ON lentavo.test_dates FROM PUBLIC;
REVOKE ALL ON FUNCTION lentavo.deliver_test_date(text, text, date), lentavo.my_test_date(text) FROM PUBLIC;
GRANT EXECUTE ON FUNCTION lentavo.deliver_test_date(text, text, date), lentavo.my_test_date(text) TO lentavo_pc;
